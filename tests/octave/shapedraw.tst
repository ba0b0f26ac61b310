## shapedraw in GNU Octave.  Reference draws: tests/data/gamma_stream.csv,
## made by tests/tools/random_golden.py from the initial seeds.

%!test
%! ## a freshly loaded library starts its stream from the initial seeds
%! clear shapedraw
%! x = shapedraw ([0.3 1 1.7 2.5 2.6 7.5]);
%! assert (x, [0.030633377679957666 0.6093549513242166 0.7571709204941043 ...
%!             1.3233522533305364 2.612993141658159 5.9512154607557965], 0);

%!test
%! ## calls continue the stream; [a1 a2] equals two calls; clear restarts it
%! clear shapedraw
%! both = shapedraw ([0.7 3.3]);
%! clear shapedraw
%! a1 = shapedraw (0.7);
%! a2 = shapedraw (3.3);
%! assert ([a1 a2], both, 0);
%! assert (shapedraw ([0.7 3.3]) != both);

%!test
%! ## a refused call draws nothing
%! clear shapedraw
%! first = shapedraw (2);
%! clear shapedraw
%! try, shapedraw (sparse (2)); end
%! try, shapedraw (single (2)); end
%! try, shapedraw (1, 2); end
%! assert (shapedraw (2), first, 0);

%!test
%! ## shapes: rows by columns of the input, empty inputs give empty outputs
%! assert (size (shapedraw (ones (2, 3))), [2 3]);
%! assert (size (shapedraw (ones (2, 3, 4))), [2 3 4]);
%! ## an N-D call draws in storage order, as the same elements in a row do
%! clear shapedraw
%! a = shapedraw (reshape (0.5:0.5:4, 2, 2, 2));
%! clear shapedraw
%! assert (a(:).', shapedraw (0.5:0.5:4));
%! assert (size (shapedraw (zeros (0, 3))), [0 3]);
%! assert (size (shapedraw (zeros (4, 0))), [4 0]);
%! assert (class (shapedraw ([])), 'double');
%! assert (isreal (shapedraw ([1+2i 3])));

%!test
%! ## special shapes: NaN gives NaN, below 2^-52 gives 0, +Inf gives +Inf
%! assert (shapedraw ([NaN 0 -2 1e-17 -Inf Inf]), [NaN 0 0 0 0 Inf]);
%! x = shapedraw (1e300);
%! assert (x, 1e300, 1e-3 * 1e300);

%!test
%! ## means within sampling error for shapes below 1, 1 to 2.5, above 2.5
%! for a = [0.3 1.6 6]
%!   x = shapedraw (a * ones (1, 2e4));
%!   assert (all (x >= 0));
%!   assert (abs (mean (x) - a) < 5 * sqrt (a / 2e4));
%!   assert (abs (var (x) - a) < 0.1 * a);
%! end

%!error <Usage: x = shapedraw\(a\)> shapedraw ()
%!error <Usage: x = shapedraw\(a\)> shapedraw (1, 2)
%!error <Cannot handle sparse matrices\.  Sorry\.> shapedraw (sparse ([1 2]))
%!error <a must be a double array> shapedraw (single (1))
%!error <a must be a double array> shapedraw (int8 (1))
%!error <a must be a double array> shapedraw ({1})
%!error <a must be a double array> shapedraw (@sin)
%!error <a must be a double array> shapedraw (true)
%!test
%! try
%!   shapedraw ('abc');
%! catch err
%!   assert (err.identifier, 'gatebox:shapedraw:notDouble');
%! end

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
%! refuses ("gatebox:shapedraw:usage", "Usage: x = shapedraw(a)", @() shapedraw (1, 2));
%! refuses ("gatebox:shapedraw:sparse", "Cannot handle sparse matrices.  Sorry.", @() shapedraw (sparse (1)));
%! refuses ("gatebox:shapedraw:notDouble", "a must be a double array; convert it with double(a).", @() shapedraw (int8 (1)));
