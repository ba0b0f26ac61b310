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
%   Example:
%      backapply([2 0; 1 4], [4; 8])    % lower triangle: [2; 1.5]
%
%   See also UPPERSUBST, LOWERSUBST, LINSOLVE, MLDIVIDE.
