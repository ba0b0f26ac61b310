%UPPERSUBST  Solve an upper triangular system by back substitution.
%   X = UPPERSUBST(T, B) solves T*X = B using only the upper triangle of the
%   square real double matrix T (diagonal included; the strict lower
%   triangle is never read and may hold anything, NaN included). B has one
%   right-hand side per column; X is a real double matrix of the size of B.
%   Complex inputs are read through their real parts.
%
%   The solve is column-oriented substitution: a right-hand-side component
%   that is exactly zero at its step is neither divided nor propagated, so a
%   zero diagonal element with a zero right-hand side leaves that component
%   0. Results are the same to the bit on every run and every machine.
%
%   Errors: not two inputs or more than one output ("Usage: x =
%   uppersubst(T,b)"), a non-square T ("matrix must be square"), a sparse T
%   or B ("Sorry, can't handle sparse matrices yet."), N-D inputs
%   ("Arguments must be matrices."), a B whose row count differs from the
%   order of T (gatebox:uppersubst:sizeMismatch), inputs that are not double
%   arrays (gatebox:uppersubst:notDouble).
%
%   Example:
%      uppersubst([2 1; 0 4], [4; 8])    % [1; 2]
%
%   See also LOWERSUBST, BACKAPPLY, LINSOLVE, MLDIVIDE.
