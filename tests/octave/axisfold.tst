## axisfold in GNU Octave.  Reference sums: the plain loop written below,
## which adds in storage order as axisfold does; sum() agrees within rounding.

%!function B = plain_fold (A, dims)
%!  sz = size (A);
%!  keep = setdiff (1:ndims (A), dims);
%!  out = sz(keep);
%!  if (numel (out) < 2), out(end+1:2) = 1; end
%!  B = zeros (out);
%!  stride = cumprod ([1 sz(keep)]);
%!  sub = cell (1, ndims (A));
%!  for e = 1:numel (A)
%!    [sub{:}] = ind2sub (sz, e);
%!    s = cell2mat (sub(keep)) - 1;
%!    p = 1 + sum (s .* stride(1:numel (keep)));
%!    B(p) = B(p) + A(e);
%!  end
%!endfunction

%!test
%! A = reshape (1:12, 3, 4);
%! assert (axisfold (A, [1 2]), 78);
%! assert (axisfold (A, [2 1]), 78);
%! assert (axisfold (A, 1), sum (A, 1)');          # removed dimension: a column
%! assert (axisfold (A, 2), sum (A, 2));
%! assert (size (axisfold (ones (2, 3, 4), 2)), [2 4]);
%! A = randn (3, 5, 6, 7);
%! assert (axisfold (A, [2 4]), squeeze (sum (sum (A, 2), 4)), 1e-12);

%!test
%! ## exact: the same additions in the same order as the plain loop
%! A = randn (4, 3, 5, 2) .* 10 .^ randi ([-8 8], 4, 3, 5, 2);
%! for dims = {1, 2, 3, 4, [1 3], [2 4], [1 2 4], [2 3 4], []}
%!   assert (isequal (axisfold (A, dims{1}), plain_fold (A, dims{1})));
%! end
%! A = randn (300, 11);
%! assert (isequal (axisfold (A, 1), plain_fold (A, 1)));

%!test
%! ## copy path, empty input, complex input
%! A = randn (3, 1, 5);
%! assert (isequal (axisfold (A, 2), squeeze (A)));
%! assert (axisfold (zeros (2, 0, 3), 2), zeros (2, 3));
%! assert (axisfold ([1+2i 3-1i; 4 5], 1), [5; 8]);
%! assert (isreal (axisfold ([1+2i 3-1i; 4 5], 1)));

%!test
%! global flopcount
%! flopcount = 0;
%! axisfold (ones (3, 4), [1 2]);  assert (flopcount, 11);
%! axisfold (ones (3, 4), 1);      assert (flopcount, 19);
%! axisfold (ones (2, 3, 4), 2);   assert (flopcount, 35);
%! axisfold (ones (3, 1, 5), 2);   assert (flopcount, 35);
%! axisfold (zeros (2, 0, 3), 2);  assert (flopcount, 35);
%! flopcount = int8 (1);           # not a double counter: the sum still works
%! assert (axisfold ([1 2], 2), 3);
%! assert (flopcount, int8 (1));
%! clear -global flopcount

%!error <Usage: B = axisfold\(A, dims\)> axisfold ()
%!error <Usage: B = axisfold\(A, dims\)> axisfold (1)
%!error <Usage: B = axisfold\(A, dims\)> axisfold (1, 1, 1)
%!error <full double arrays> axisfold (single (1), 1)
%!error <full double arrays> axisfold (sparse (1), 1)
%!error <full double arrays> axisfold (@sin, 1)
%!error <full double arrays> axisfold (1, int8 (1))
%!error <more dimension numbers> axisfold (ones (2, 3), [1 2 1])
%!error <from 1 to ndims> axisfold (ones (2, 3), 3)
%!error <from 1 to ndims> axisfold (ones (2, 3), 0)
%!error <from 1 to ndims> axisfold (ones (2, 3), NaN)
%!error <more than once> axisfold (ones (2, 3, 4), [2 2])
%!error <more than once> axisfold (ones (2, 3), [1 1])

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
%! refuses ("gatebox:axisfold:usage", "Usage: B = axisfold(A, dims)", @() axisfold (1));
%! refuses ("gatebox:axisfold:notDouble", "A and DIMS must be full double arrays; convert them with double().", @() axisfold (single (1), 1));
%! refuses ("gatebox:axisfold:tooManyDims", "DIMS lists more dimension numbers than A has dimensions.", @() axisfold (ones (2), [1 2 3]));
%! refuses ("gatebox:axisfold:badDim", "DIMS must hold dimension numbers from 1 to ndims(A).", @() axisfold (ones (2), 3));
%! refuses ("gatebox:axisfold:repeatedDim", "DIMS lists a dimension more than once.", @() axisfold (ones (2, 2, 2), [1 1]));
