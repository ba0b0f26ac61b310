%TILEARRAY  Tile an array along its dimensions (a fast REPMAT).
%   B = TILEARRAY(A, [M N P ...]) repeats A M times along the first
%   dimension, N times along the second, P times along the third, and so on.
%   B = TILEARRAY(A, M) tiles M by M. B = TILEARRAY(A, M, N, P, ...) takes
%   the counts from several arguments, every element of each in turn. Counts
%   are truncated toward zero; a zero count gives an empty B.
%
%   A may be of any numeric class, real or complex, with any number of
%   dimensions; B has the class and complexity of A. The copy works on raw
%   bytes by block doubling, so a count c costs about 2*log2(c) block copies.
%
%   Errors: fewer than two inputs ("Usage: tilearray(A, [M N ...])"), a
%   sparse A ("Sorry, can't handle sparse matrices yet."), a cell A ("Sorry,
%   can't handle cell arrays yet."), negative, NaN or infinite counts and
%   results too large to index (gatebox:tilearray:... identifiers).
%
%   Example:
%      tilearray([1 2; 3 4], [2 3])    % same as repmat([1 2; 3 4], 2, 3)
%
%   See also REPMAT, KRON, CAT.
