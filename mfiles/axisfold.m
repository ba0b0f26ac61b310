%AXISFOLD  Sum an array over chosen dimensions, removing them.
%   B = AXISFOLD(A, DIMS) sums the real double array A over the dimensions
%   listed in DIMS (1-based) and returns the sums in an array from which
%   those dimensions are removed: on a 3-by-5-by-6-by-7 A, AXISFOLD(A, [2 4])
%   is 3-by-6 with B(i,k) = sum of A(i,:,k,:). Summing over every dimension
%   gives the 1-by-1 total; a single remaining dimension gives a column.
%   Each output element is the sum of its inputs in storage order.
%
%   The additions are charged to the global flop counter FLOPCOUNT (see
%   OPCHARGE): T - U for T input and U output elements. A FLOPCOUNT that is
%   not a double array is left alone; the sum is returned all the same.
%
%   Errors: not exactly two inputs, dimension numbers outside 1..ndims(A) or
%   repeated, more numbers than A has dimensions, an A that is not a double
%   array, a sparse A (gatebox:axisfold:... identifiers).
%
%   Example:
%      axisfold(reshape(1:24, 2, 3, 4), 2)    % 2-by-4: same as squeeze(sum(A, 2))
%
%   See also SUM, OPCHARGE.
