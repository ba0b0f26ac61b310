## tallybins in GNU Octave.  Reference counts: accumarray and histc.

%!assert (tallybins ([1 2 2 3 3 3]), [1 2 3])
%!assert (tallybins ([1 2 2 3 3 3], 5), [1 2 3 0 0])
%!assert (tallybins (3.7), [0 0 1])
%!assert (tallybins ([1 2; 2 1]), [2 2])
%!assert (tallybins (cat (3, [1 2], [3 4])), [1 1 1 1])
%!assert (tallybins ([1 2 2 1], 2.9), [2 2])
%!assert (tallybins ([], 4), [0 0 0 0])
%!assert (size (tallybins ([], 0)), [1 0])
%!assert (size (tallybins ([])), [1 0])
%!assert (size (tallybins (zeros (0, 3))), [1 0])
%!assert (tallybins ([1+5i 2]), [1 1])

%!test
%! x = randi (1000, 1e5, 1);
%! assert (tallybins (x, 1000), accumarray (x, 1, [1000 1])');
%! assert (tallybins (x + 0.5), accumarray (x, 1)');

%!error <value out of bounds> tallybins ([2.9 1.1 0.5])
%!error <value out of bounds> tallybins (-0.5, 3)
%!error <value out of bounds> tallybins ([1 5], 3)
%!error <value out of bounds> tallybins (1, 0)
%!error <value out of bounds> tallybins ([1 NaN 2])
%!error <value out of bounds> tallybins (NaN)
%!error <value out of bounds> tallybins ([-3 -5])
%!error <value out of bounds> tallybins ([2 3e9])
%!error <Usage: h = tallybins\(x, n\)> tallybins ()
%!error <Usage: h = tallybins\(x, n\)> tallybins (1, 2, 3)
%!error <Cannot handle sparse matrices\.  Sorry\.> tallybins (sparse ([1 2]))
%!error <N is empty> tallybins ([1 2], [])
%!error <from 0 to 2147483647> tallybins ([1 2], -1)
%!error <from 0 to 2147483647> tallybins ([1 2], NaN)
%!error <from 0 to 2147483647> tallybins ([1 2], 2^31)
%!error <full double arrays> tallybins (int32 ([1 2]))
%!error <full double arrays> tallybins ([1 2], int32 (2))
%!error <full double arrays> tallybins (@sin)
%!error <full double arrays> tallybins ({1})
