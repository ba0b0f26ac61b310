%BACKAPPLY  Apply the inverse of a triangular matrix, triangle chosen from the data.
%   X = BACKAPPLY(T, B) returns inv(T)*B for a square real double matrix T
%   that is lower or upper triangular, one right-hand side per column of B.
%   The triangle is chosen from T(2,1): when it is nonzero (and not NaN) the
%   lower triangle is used, otherwise the upper one. Each component is a
%   dot product (row-oriented substitution) and is always divided by its
%   diagonal element. An N-D B is taken as size(B,1)-by-(the rest).
%
%   Errors: not two inputs or more than one output ("Usage: x =
%   backapply(T,b)"), a non-square T ("matrix must be square"), a sparse T
%   ("Cannot handle sparse matrices.  Sorry."), a sparse B, a B whose row
%   count differs from the order of T, inputs that are not double arrays
%   (gatebox:backapply:... identifiers).
%
%   Replaces LINSOLVE(T, B, opts) with the triangle declared, or T\B for
%   triangular T. Difference: the triangle is not declared but read from
%   T(2,1), so a lower triangular T whose T(2,1) is 0 is solved as upper
%   triangular, from its diagonal and an upper triangle of zeros: give such
%   a T to LOWERSUBST. Complex T or B are read through their real parts.
%
%   Example:
%      >> backapply([2 0; 1 4], [4; 8])    % T(2,1) = 1: lower triangle
%      ans =
%         2.0000
%         1.5000
%
%      >> backapply([2 1; 0 4], [4; 8])    % T(2,1) = 0: upper triangle
%      ans =
%         1
%         2
%
%
%   See also UPPERSUBST, LOWERSUBST, LINSOLVE, MLDIVIDE.

%!assert (backapply ([2 0; 1 4], [4; 8]), [2; 1.5])
%!assert (backapply ([2 1; 0 4], [4; 8]), [1; 2])
%!test
%! ## the triangle comes from T(2,1): lower when nonzero, upper otherwise
%! L = tril (rand (5) + 5 * eye (5));  b = rand (5, 2);
%! assert (backapply (L, b), L \ b, 1e-12);
%! L(2, 1) = 0;                        # now read as upper: only the diagonal is left
%! assert (backapply (L, b), diag (diag (L)) \ b, 1e-12);
%! U = triu (rand (5) + 5 * eye (5));
%! assert (backapply (U, b), U \ b, 1e-12);
%!error <Usage: x = backapply\(T,b\)> backapply (1)
%!error <matrix must be square> backapply (ones (2, 3), ones (2, 1))
%!error <Cannot handle sparse matrices\.  Sorry\.> backapply (sparse (1), 1)
%!error backapply (1, sparse (1))
%!error backapply (eye (2), ones (3, 1))
%!demo
%! L = [2 0 0; 1 4 0; 3 1 5], b = [2; 9; 20];
%! x = backapply (L, b)     % L(2,1) is nonzero: the lower triangle
%! U = L';
%! y = backapply (U, b)     % U(2,1) is zero: the upper triangle
