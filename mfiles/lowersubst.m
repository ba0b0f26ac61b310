%LOWERSUBST  Solve a lower triangular system by forward substitution.
%   X = LOWERSUBST(T, B) solves T*X = B using only the lower triangle of the
%   square real double matrix T (diagonal included; the strict upper
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
%   lowersubst(T,b)"), a non-square T ("matrix must be square"), a sparse T
%   or B ("Sorry, can't handle sparse matrices yet."), N-D inputs
%   ("Arguments must be matrices."), a B whose row count differs from the
%   order of T (gatebox:lowersubst:sizeMismatch), inputs that are not double
%   arrays (gatebox:lowersubst:notDouble).
%
%   Replaces LINSOLVE(T, B, struct('LT', true)) and T\B for lower triangular
%   T. Differences: the strict upper triangle of T is never read (MLDIVIDE
%   would use it); complex T or B are read through their real parts; no
%   warning for a singular T.
%
%   Example:
%      >> lowersubst([2 1; 0 4], [4; 8])    % only [2 0; 0 4] is read
%      ans =
%         2
%         2
%
%
%   See also UPPERSUBST, BACKAPPLY, LINSOLVE, MLDIVIDE.

%!assert (lowersubst ([2 1; 0 4], [4; 8]), [2; 2])
%!test
%! T = tril (rand (6) + 6 * eye (6));  b = rand (6, 3);
%! assert (lowersubst (T, b), T \ b, 1e-12);
%! T(1, 4) = NaN;                      # the strict upper triangle is not read
%! assert (lowersubst (T, b), tril (T) \ b, 1e-12);
%!assert (lowersubst ([2 0; 1 4] + 1i, [4; 8]), [2; 1.5])
%!error <Usage: x = lowersubst\(T,b\)> lowersubst (1)
%!error <matrix must be square> lowersubst (ones (2, 3), ones (2, 1))
%!error <Sorry, can't handle sparse matrices yet\.> lowersubst (1, sparse (1))
%!error <Arguments must be matrices\.> lowersubst (1, ones (1, 2, 2))
%!error lowersubst (eye (2), ones (3, 1))
%!demo
%! T = tril (magic (4)), b = [1; 2; 3; 4];
%! x = lowersubst (T, b)
%! residual = norm (T * x - b)
