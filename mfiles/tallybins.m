%TALLYBINS  Integer histogram.
%   H = TALLYBINS(X, N) counts how many elements of the real double array X
%   fall into each of the bins 1, 2, ..., N, where an element belongs to bin
%   v when its value truncated toward zero is v. H is a 1-by-N row of
%   counts. H = TALLYBINS(X) uses the truncated largest element of X as N.
%
%   Errors: not one or two inputs ("Usage: h = tallybins(x, n)"), a sparse X
%   ("Cannot handle sparse matrices.  Sorry."), an element outside 1..N
%   after truncation, NaN included ("value out of bounds"), an empty or
%   negative N and inputs that are not double arrays
%   (gatebox:tallybins:... identifiers).
%
%   Replaces ACCUMARRAY(FIX(X(:)), 1)' and HISTC(X, 1:N). Differences: the
%   result is always a 1-by-N row, values are truncated toward zero, and a
%   value outside 1..N is an error rather than an index error or a dropped
%   count. A complex X is read through its real part.
%
%   Example:
%      >> tallybins([1 2 2 3 3 3])
%      ans =
%         1   2   3
%
%      >> tallybins([1 2 2 3 3 3], 5)
%      ans =
%         1   2   3   0   0
%
%
%   See also ACCUMARRAY, HISTC, HIST.

%!assert (tallybins ([1 2 2 3 3 3]), [1 2 3])
%!assert (tallybins ([1 2 2 3 3 3], 5), [1 2 3 0 0])
%!assert (tallybins ([1.9 2.5 2.2]), [1 2])
%!assert (tallybins ([1 2; 2 1]), [2 2])
%!assert (tallybins (zeros (1, 0), 3), [0 0 0])
%!test
%! x = randi (7, 1, 500);
%! assert (tallybins (x, 7), accumarray (x(:), 1, [7 1])');
%!error <Usage: h = tallybins\(x, n\)> tallybins ()
%!error <value out of bounds> tallybins ([1 4], 3)
%!error <value out of bounds> tallybins ([0 1])
%!error <value out of bounds> tallybins ([1 NaN], 2)
%!error <Cannot handle sparse matrices\.  Sorry\.> tallybins (sparse ([1 2]))
%!demo
%! x = [3 1 4 1 5 2 2 6 5 3 5];
%! h = tallybins (x)         % how often each of 1..6 occurs
