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

## ---- The stream's state ('state' call forms) ----

%!test
%! ## after one uniform from the load-time state: (17271, 20637, 2082);
%! ## that state set again gives the stream shifted by one uniform;
%! ## 'state', 0 restores the load-time stream; clear restarts it
%! clear drawcounts
%! assert (drawcounts ('state'), [101 1001 10001]);
%! fresh = drawcounts (repmat ([0.51; 0.49], 1, 12), 1);
%! clear drawcounts
%! drawcounts (repmat ([0.51; 0.49], 1, 1), 1);
%! assert (drawcounts ('state'), [17271 20637 2082]);
%! drawcounts (repmat ([0.51; 0.49], 1, 5), 1);
%! drawcounts ('state', [17271; 20637; 2082]);
%! assert (drawcounts (repmat ([0.51; 0.49], 1, 11), 1), fresh(:, 1+1:end));
%! drawcounts ('state', 0);
%! assert (drawcounts (repmat ([0.51; 0.49], 1, 12), 1), fresh);
%! drawcounts ('state', 9);
%! clear drawcounts
%! assert (drawcounts ('state'), [101 1001 10001]);

%!test
%! ## a seed gives the same stream every time, in any numeric class;
%! ## asked for, the state set comes back
%! drawcounts ('state', 7);
%! s7 = drawcounts ('state');
%! a = drawcounts (repmat ([0.51; 0.49], 1, 40), 1);
%! assert (drawcounts ('state', int32 (7)), s7);
%! assert (drawcounts (repmat ([0.51; 0.49], 1, 40), 1), a);
%! drawcounts ('state', 8);
%! assert (! isequal (drawcounts (repmat ([0.51; 0.49], 1, 40), 1), a));
%! drawcounts ('state', s7);
%! assert (drawcounts (repmat ([0.51; 0.49], 1, 40), 1), a);
%! assert (all (s7 >= 1 & s7 <= [30268 30306 30322] & s7 == fix (s7)));

%!test
%! ## a refused state or keyword changes nothing
%! drawcounts ('state', 3);
%! drawcounts (repmat ([0.51; 0.49], 1, 2), 1);
%! before = drawcounts ('state');
%! bad = {-1, 0.5, 2^32, NaN, Inf, [0 1 1], [1 30307 1], [1 1 30323], [30269 1 1], ...
%!        [1.5 2 3], [1 2], [1 2 3 4], [], [1 2 3; 4 5 6], 1i, sparse([1 2 3]), true, 'abc', {1}, @sin};
%! for i = 1:numel (bad)
%!   try
%!     drawcounts ('state', bad{i});
%!     error ('accepted state %d', i);
%!   catch err
%!     assert (err.identifier, 'gatebox:drawcounts:badState');
%!   end
%! end
%! for w = {'State', 'seed', 'twister', 'ab'}
%!   try
%!     drawcounts (w{1}, 1);
%!     error ('accepted keyword %s', w{1});
%!   catch err
%!     assert (err.identifier, 'gatebox:drawcounts:unknownKeyword');
%!   end
%! end
%! assert (drawcounts ('state'), before);

%!error <must be 0 \(the initial state\), a whole number from 1 to 4294967295> drawcounts ('state', -1)
%!error <1 <= ix <= 30268, 1 <= iy <= 30306 and 1 <= iz <= 30322> drawcounts ('state', [0 1 1])
%!error <'state' takes at most one value> drawcounts ('state', 1, 2)
%!error <The only keyword is 'state'> drawcounts ('seed', 1)
