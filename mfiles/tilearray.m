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
%   Replaces REPMAT. Difference: one count argument V uses its first
%   size(V, 2) values, so TILEARRAY(A, [2; 3]) tiles 2 by 2 where
%   REPMAT(A, [2; 3]) tiles 2 by 3; TILEARRAY(A, [2 3]) and REPMAT(A, [2 3])
%   agree.
%
%   Example:
%      >> isequal(tilearray([1 2; 3 4], [2 3]), repmat([1 2; 3 4], 2, 3))
%      ans = 1
%
%      >> size(tilearray([1 2; 3 4], [2; 3]))
%      ans =
%         4   4
%
%
%   See also REPMAT, KRON, CAT.

%!assert (tilearray ([1 2; 3 4], [2 3]), repmat ([1 2; 3 4], 2, 3))
%!assert (tilearray ([1 2; 3 4], 2), repmat ([1 2; 3 4], 2))
%!assert (tilearray ([1 2; 3 4], 2, 3), repmat ([1 2; 3 4], 2, 3))
%!assert (tilearray ([1 2; 3 4], [2; 3]), repmat ([1 2; 3 4], 2, 2))
%!assert (tilearray (int8 ([1 -2]), [2 1 2]), repmat (int8 ([1 -2]), [2 1 2]))
%!assert (tilearray ('ab', [1 2]), 'abab')
%!assert (tilearray (1 + 2i, [1 2]), [1 + 2i, 1 + 2i])
%!assert (size (tilearray (ones (2, 3), [0 4])), [0 12])
%!assert (tilearray (true, 2.9), true (2))
%!error <Usage: tilearray\(A, \[M N \.\.\.\]\)> tilearray (1)
%!error <Sorry, can't handle sparse matrices yet\.> tilearray (sparse (1), 2)
%!error <Sorry, can't handle cell arrays yet\.> tilearray ({1}, 2)
%!error tilearray (1, -1)
%!demo
%! A = [1 2; 3 4];
%! B = tilearray (A, [2 3])
%! isequal (B, repmat (A, 2, 3))
