## drawcounts in GNU Octave.  Reference draws: tests/data/multi_stream.csv,
## made by tests/tools/random_golden.py from the initial seeds.

%!test
%! ## a freshly loaded library starts its stream from the initial seeds
%! clear drawcounts
%! assert (drawcounts ([0.1; 0.2; 0.3; 0.4], 1000), [113; 211; 289; 387]);
%! assert (drawcounts ([0.5; 0.5; 0; 0], 1000), [506; 494; 0; 0]);
%! assert (drawcounts ([0.2; 0.3; 99], 17), [6; 5; 6]);

%!test
%! ## columns are independent: [p1 p2] equals two calls side by side
%! p = [0.2 0.6; 0.3 0.1; 0.5 0.3];
%! clear drawcounts
%! both = drawcounts (p, 500);
%! clear drawcounts
%! assert ([drawcounts(p(:,1), 500) drawcounts(p(:,2), 500)], both);
%! assert (sum (both), [500 500]);

%!test
%! ## a refused call draws nothing
%! clear drawcounts
%! first = drawcounts ([0.3; 0.7], 100);
%! clear drawcounts
%! try, drawcounts ([0.3; 0.7], [1 2]); end
%! try, drawcounts ([0.3; 0.7], -1); end
%! try, drawcounts (sparse ([0.3; 0.7]), 100); end
%! try, drawcounts (single ([0.3; 0.7]), 100); end
%! assert (drawcounts ([0.3; 0.7], 100), first);

%!test
%! ## edge cases: exhausted mass, an ignored last row, one row, empty inputs
%! h = drawcounts ([0.5; 0.5; 0; 0], 1000);
%! assert (h(3:4), [0; 0]);
%! assert (sum (h), 1000);
%! h = drawcounts ([0.2; 0.3; 99], 50);
%! assert (h(3), 50 - h(1) - h(2));
%! assert (drawcounts ([0.1 0.2 7], 33), [33 33 33]);
%! assert (size (drawcounts (zeros (3, 0), 5)), [3 0]);
%! assert (size (drawcounts (zeros (0, 4), 5)), [0 4]);
%! assert (drawcounts ([0.4; 0.6], 0), [0; 0]);
%! assert (sum (drawcounts ([0.4; 0.6], 7.9)), 7);
%! ## a NaN probability: later categories draw 0, the last takes what is left
%! h = drawcounts ([0.3; NaN; 0.2; 0.5], 100);
%! assert (h(2:3), [0; 0]);
%! assert (sum (h), 100);

%!test
%! ## the marginals are binomial: means and variances within sampling error
%! p = [0.1; 0.2; 0.3; 0.4];
%! h = drawcounts (repmat (p, 1, 2e4), 60);
%! assert (all (sum (h) == 60));
%! assert (abs (mean (h, 2) - 60 * p) < 5 * sqrt (60 * p .* (1 - p) / 2e4));
%! assert (abs (var (h, 0, 2) - 60 * p .* (1 - p)) < 0.1 * 60 * p .* (1 - p));

%!error <Usage: h = drawcounts\(p, n\)> drawcounts ([0.5; 0.5])
%!error <Usage: h = drawcounts\(p, n\)> drawcounts ([0.5; 0.5], 1, 2)
%!error <n must be scalar> drawcounts ([0.5; 0.5], [1 2])
%!error <n must be scalar> drawcounts ([0.5; 0.5], [])
%!error <n must be scalar> drawcounts (sparse ([0.5; 0.5]), [1 2])
%!error <Cannot handle sparse matrices\.  Sorry\.> drawcounts (sparse ([0.5; 0.5]), 3)
%!error <n must be a number of trials> drawcounts ([0.5; 0.5], NaN)
%!error <n must be a number of trials> drawcounts ([0.5; 0.5], -2)
%!error <n must be a number of trials> drawcounts ([0.5; 0.5], 3e9)
%!error <n must be a double scalar> drawcounts ([0.5; 0.5], uint8 (3))
%!error <p must be a double array> drawcounts (int16 ([1; 1]), 3)
%!error <p must be a double array> drawcounts (@sin, 3)
%!test
%! try
%!   drawcounts ([0.5; 0.5], NaN);
%! catch err
%!   assert (err.identifier, 'gatebox:drawcounts:badTrialCount');
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
%! refuses ("gatebox:drawcounts:usage", "Usage: h = drawcounts(p, n)", @() drawcounts (0.5));
%! refuses ("gatebox:drawcounts:notScalar", "n must be scalar", @() drawcounts (0.5, [1 2]));
%! refuses ("gatebox:drawcounts:notDouble", "n must be a double scalar; convert it with double(n).", @() drawcounts (0.5, single (1)));
%! refuses ("gatebox:drawcounts:badTrialCount", "n must be a number of trials from 0 to 2147483647, not NaN or negative.", @() drawcounts (0.5, -1));
%! refuses ("gatebox:drawcounts:sparse", "Cannot handle sparse matrices.  Sorry.", @() drawcounts (sparse (0.5), 3));
%! refuses ("gatebox:drawcounts:notDouble", "p must be a double array; convert it with double(p).", @() drawcounts (single (0.5), 3));
