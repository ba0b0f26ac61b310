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
%   Example:
%      tallybins([1 2 2 3 3 3])       % [1 2 3]
%      tallybins([1 2 2 3 3 3], 5)    % [1 2 3 0 0]
%
%   See also ACCUMARRAY, HISTC, HIST.
