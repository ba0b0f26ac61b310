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
%!error <full numeric or logical arrays> tallybins (@sin)
%!error <full numeric or logical arrays> tallybins ({1})
%!error <full numeric or logical arrays> tallybins ('ab')
%!error <full numeric or logical arrays> tallybins ([1 2], '2')

%!test
%! ## integer, single and logical labels and bin counts, read by value
%! assert (tallybins (int32 ([1 2 2])), [1 2]);
%! assert (tallybins ([1 2], int32 (2)), [1 1]);
%! assert (tallybins (uint8 ([3 1 3]), int64 (4)), [1 0 2 0]);
%! assert (tallybins (single ([1.5 2.9])), [1 1]);
%! assert (tallybins ([true true]), 2);
%! assert (tallybins (int16 ([1 1]), true), 2);
%! for c = {"int8", "uint8", "int16", "uint16", "int32", "uint32", "int64", "uint64", "single"}
%!   assert (tallybins (cast ([4 1 2 4], c{1})), tallybins ([4 1 2 4]));
%! endfor
%!error <value out of bounds> tallybins (int8 ([1 -2]))
%!error <value out of bounds> tallybins (uint64 ([1 2^40]))
%!error <value out of bounds> tallybins (int32 ([1 3]), uint8 (2))

%!function refuses (id, msg, f)
%!  ## f () must end with identifier id and message msg (Octave puts the
%!  ## function's name in front of a MEX file's message).
%!  try
%!    f ();
%!  catch err
%!    assert (err.identifier, id);
%!    name = strsplit (id, ":"){2};
%!    assert (any (strcmp (err.message, {msg, [name ": " msg]})), "message: %s", err.message);
%!    return;
%!  end_try_catch
%!  error ("no error for %s", id);
%!endfunction

%!test
%! ## one refusal of each kind, with its identifier gatebox:<function>:<reason>
%! refuses ("gatebox:tallybins:usage", "Usage: h = tallybins(x, n)", @() tallybins ());
%! refuses ("gatebox:tallybins:sparse", "Cannot handle sparse matrices.  Sorry.", @() tallybins (sparse (1)));
%! refuses ("gatebox:tallybins:notNumeric", "X and N must be full numeric or logical arrays; convert them with double().", @() tallybins ({1}));
%! refuses ("gatebox:tallybins:emptyN", "N is empty; expected the number of bins.", @() tallybins (1, []));
%! refuses ("gatebox:tallybins:badN", "N must be a number of bins from 0 to 2147483647.", @() tallybins (1, -1));
%! refuses ("gatebox:tallybins:outOfBounds", "value out of bounds", @() tallybins (int8 ([1 2]), 1));
