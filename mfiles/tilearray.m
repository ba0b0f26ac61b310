%TILEARRAY  Tile an array along its dimensions (a fast REPMAT).
%   B = TILEARRAY(A, [M N P ...]) repeats A M times along the first
%   dimension, N times along the second, P times along the third, and so on.
%   B = TILEARRAY(A, M) tiles M by M. B = TILEARRAY(A, M, N, P, ...) takes
%   the counts from several arguments, every element of each in turn. Counts
%   are truncated toward zero; a zero count gives an empty B.
%
%   With one count argument V, the first N values of V are used, N being its
%   column count (so a column vector [2; 3] tiles 2 by 2). Counts may be of
%   any numeric or logical class.
%
%   A may be of any numeric class, real or complex, logical or char, with
%   any number of dimensions; B has the class and complexity of A. The copy
%   works on raw bytes by block doubling, so a count c costs about 2*log2(c)
%   block copies.
%
%   Errors: fewer than two inputs ("Usage: tilearray(A, [M N ...])"), a
%   sparse A ("Sorry, can't handle sparse matrices yet."), a cell A ("Sorry,
%   can't handle cell arrays yet."), a struct, object or function handle A,
%   counts that are not numeric, negative, NaN, infinite or 2^31 or more, and
%   results too large to index (gatebox:tilearray:... identifiers).
%
%   The older build in the r12 folder uses one count per count argument (its
%   first element) and says "Usage: tilearray(A, [N M ...])".
%
%   Example:
%      tilearray([1 2; 3 4], [2 3])    % same as repmat([1 2; 3 4], 2, 3)
%
%   See also REPMAT, KRON, CAT.
