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
%   Replaces SQUEEZE(SUM(A, DIM)) and nested SUM calls. Differences: the
%   summed dimensions are removed (SUM keeps them as 1), one call sums over
%   several dimensions, and the additions are charged to FLOPCOUNT. A complex
%   A is read through its real part.
%
%   Example:
%      >> A = reshape(1:24, 2, 3, 4);  B = axisfold(A, 2)
%      B =
%          9   27   45   63
%         12   30   48   66
%
%      >> isequal(B, squeeze(sum(A, 2)))
%      ans = 1
%
%
%   See also SUM, OPCHARGE.

%!test
%! A = reshape (1:24, 2, 3, 4);
%! assert (axisfold (A, 2), squeeze (sum (A, 2)));
%! assert (axisfold (A, [1 3]), squeeze (sum (sum (A, 1), 3))');
%! assert (axisfold (A, [1 2 3]), 300);
%!test
%! A = rand (3, 5, 6, 7);
%! assert (size (axisfold (A, [2 4])), [3 6]);
%! assert (axisfold (A, [2 4]), squeeze (sum (sum (A, 2), 4)), 1e-12);
%!test
%! global flopcount
%! old = flopcount;
%! unwind_protect
%!   flopcount = 0;
%!   axisfold (ones (3, 4, 5), 2);
%!   assert (flopcount, 60 - 15);
%! unwind_protect_cleanup
%!   flopcount = old;
%! end_unwind_protect
%!error axisfold (1)
%!error axisfold (ones (2, 2), 3)
%!error axisfold (ones (2, 2), [1 1])
%!demo
%! A = reshape (1:24, 2, 3, 4);
%! B = axisfold (A, 2)       % 2-by-4: dimension 2 summed and removed
%! C = axisfold (A, [1 3])   % a column: dimensions 1 and 3 summed
