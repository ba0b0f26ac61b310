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
%   Replaces LINSOLVE(T, B, struct('UT', true)) and T\B for upper triangular
%   T. Differences: the strict lower triangle of T is never read (MLDIVIDE
%   would use it); complex T or B are read through their real parts; no
%   warning for a singular T (a zero diagonal gives Inf or NaN, or 0 as
%   stated above).
%
%   Example:
%      >> uppersubst([2 1; 0 4], [4; 8])
%      ans =
%         1
%         2
%
%
%   See also LOWERSUBST, BACKAPPLY, LINSOLVE, MLDIVIDE.

%!assert (uppersubst ([2 1; 0 4], [4; 8]), [1; 2])
%!test
%! T = triu (rand (6) + 6 * eye (6));  b = rand (6, 3);
%! assert (uppersubst (T, b), T \ b, 1e-12);
%! T(4, 1) = NaN;                      # the strict lower triangle is not read
%! assert (uppersubst (T, b), triu (T) \ b, 1e-12);
%!assert (uppersubst ([2 1; 0 0], [4; 0]), [2; 0])
%!assert (uppersubst ([2 1; 0 4] + 1i, [4; 8]), [1; 2])
%!error <Usage: x = uppersubst\(T,b\)> uppersubst (1)
%!error <matrix must be square> uppersubst (ones (2, 3), ones (2, 1))
%!error <Sorry, can't handle sparse matrices yet\.> uppersubst (sparse (1), 1)
%!error <Arguments must be matrices\.> uppersubst (1, ones (1, 2, 2))
%!error uppersubst (eye (2), ones (3, 1))
%!demo
%! T = triu (magic (4)), b = [1; 2; 3; 4];
%! x = uppersubst (T, b)
%! residual = norm (T * x - b)
