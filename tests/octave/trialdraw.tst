## trialdraw in GNU Octave.  Reference draws: tests/data/bino_stream.csv,
## made by tests/tools/random_golden.py from the initial seeds.

%!test
%! ## a freshly loaded library starts its stream from the initial seeds
%! clear trialdraw
%! assert (trialdraw (0.51, 14), 9);
%! assert (trialdraw (0.5, 14), 6);
%! assert (trialdraw (0.51, 15), 10);
%! assert (trialdraw (0.5, 20), 9);
%! assert (trialdraw (0.2, 100), 20);
%! assert (trialdraw (0.3, 1000), 298);

%!test
%! ## [p1 p2] equals two calls; the next call continues the stream
%! clear trialdraw
%! both = trialdraw ([0.4 0.8 0.3], 25);
%! clear trialdraw
%! apart = [trialdraw(0.4, 25) trialdraw([0.8 0.3], 25)];
%! assert (apart, both);
%! assert (! isequal (trialdraw (0.5 * ones (1, 100), 25), trialdraw (0.5 * ones (1, 100), 25)));

%!test
%! ## a refused call draws nothing
%! clear trialdraw
%! first = trialdraw (0.5 * ones (1, 50), 30);
%! clear trialdraw
%! try, trialdraw (0.5, [1 2]); end
%! try, trialdraw (0.5, NaN); end
%! try, trialdraw (0.5, -3); end
%! try, trialdraw (sparse (0.5), 3); end
%! try, trialdraw (single (0.5), 3); end
%! assert (trialdraw (0.5 * ones (1, 50), 30), first);

%!test
%! ## trial counts truncate toward zero; certain and impossible successes
%! r = trialdraw (rand (3, 400), 10.7);
%! assert (all (r(:) >= 0 & r(:) <= 10 & r(:) == fix (r(:))));
%! assert (trialdraw ([0.3 0.9], -0.5), [0 0]);
%! assert (trialdraw ([1.7 1 0.9999999999999998 -0.3 1e-17 NaN], 9), [9 9 9 0 0 0]);
%! assert (trialdraw (1, 2147483647), 2147483647);
%! assert (size (trialdraw (ones (2, 3, 2), 4)), [2 3 2]);
%! clear trialdraw
%! r = trialdraw (reshape (0.1:0.1:0.8, 2, 1, 4), 30);
%! clear trialdraw
%! assert (r(:).', trialdraw (0.1:0.1:0.8, 30));
%! assert (size (trialdraw (zeros (0, 3), 4)), [0 3]);
%! assert (isreal (trialdraw ([0.5+1i 0.2], 4)));

%!test
%! ## mean and variance within sampling error (beta split and waiting time)
%! for c = [0.2 100; 0.3 1000; 0.05 50; 0.7 12]'
%!   r = trialdraw (c(1) * ones (1, 2e4), c(2));
%!   m = c(1) * c(2); v = m * (1 - c(1));
%!   assert (abs (mean (r) - m) < 5 * sqrt (v / 2e4));
%!   assert (abs (var (r) - v) < 0.1 * v);
%! end

%!error <Usage: r = bino_sample\(p, n\)> trialdraw (0.5)
%!error <Usage: r = bino_sample\(p, n\)> trialdraw (0.5, 1, 2)
%!error <n must be scalar> trialdraw (0.5, [1 2])
%!error <n must be scalar> trialdraw (0.5, [])
%!error <n must be scalar> trialdraw (sparse (0.5), [1 2])
%!error <Cannot handle sparse matrices\.  Sorry\.> trialdraw (sparse ([0.5 0.2]), 3)
%!error <n must be a number of trials> trialdraw (0.5, NaN)
%!error <n must be a number of trials> trialdraw (0.5, -1)
%!error <n must be a number of trials> trialdraw (0.5, 2^31)
%!error <n must be a number of trials> trialdraw (0.5, Inf)
%!error <n must be a double scalar> trialdraw (0.5, int32 (3))
%!error <n must be a double scalar> trialdraw (0.5, @sin)
%!error <p must be a double array> trialdraw (single (0.5), 3)
%!error <p must be a double array> trialdraw ({0.5}, 3)
%!error <p must be a double array> trialdraw (@sin, 3)
%!test
%! try
%!   trialdraw (0.5, -4);
%! catch err
%!   assert (err.identifier, 'gatebox:trialdraw:badTrialCount');
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
%! refuses ("gatebox:trialdraw:usage", "Usage: r = bino_sample(p, n)", @() trialdraw (0.5));
%! refuses ("gatebox:trialdraw:notScalar", "n must be scalar", @() trialdraw (0.5, [1 2]));
%! refuses ("gatebox:trialdraw:notDouble", "n must be a double scalar; convert it with double(n).", @() trialdraw (0.5, single (1)));
%! refuses ("gatebox:trialdraw:badTrialCount", "n must be a number of trials from 0 to 2147483647, not NaN or negative.", @() trialdraw (0.5, -1));
%! refuses ("gatebox:trialdraw:sparse", "Cannot handle sparse matrices.  Sorry.", @() trialdraw (sparse (0.5), 3));
%! refuses ("gatebox:trialdraw:notDouble", "p must be a double array; convert it with double(p).", @() trialdraw (single (0.5), 3));

## ---- The stream's state ('state' call forms) ----

%!test
%! ## after one uniform from the load-time state: (17271, 20637, 2082);
%! ## that state set again gives the stream shifted by one uniform;
%! ## 'state', 0 restores the load-time stream; clear restarts it
%! clear trialdraw
%! assert (trialdraw ('state'), [101 1001 10001]);
%! fresh = trialdraw (0.51 * ones (1, 12), 1);
%! clear trialdraw
%! trialdraw (0.51 * ones (1, 1), 1);
%! assert (trialdraw ('state'), [17271 20637 2082]);
%! trialdraw (0.51 * ones (1, 5), 1);
%! trialdraw ('state', [17271; 20637; 2082]);
%! assert (trialdraw (0.51 * ones (1, 11), 1), fresh(:, 1+1:end));
%! trialdraw ('state', 0);
%! assert (trialdraw (0.51 * ones (1, 12), 1), fresh);
%! trialdraw ('state', 9);
%! clear trialdraw
%! assert (trialdraw ('state'), [101 1001 10001]);

%!test
%! ## a seed gives the same stream every time, in any numeric class;
%! ## asked for, the state set comes back
%! trialdraw ('state', 7);
%! s7 = trialdraw ('state');
%! a = trialdraw (0.51 * ones (1, 40), 1);
%! assert (trialdraw ('state', int32 (7)), s7);
%! assert (trialdraw (0.51 * ones (1, 40), 1), a);
%! trialdraw ('state', 8);
%! assert (! isequal (trialdraw (0.51 * ones (1, 40), 1), a));
%! trialdraw ('state', s7);
%! assert (trialdraw (0.51 * ones (1, 40), 1), a);
%! assert (all (s7 >= 1 & s7 <= [30268 30306 30322] & s7 == fix (s7)));

%!test
%! ## a refused state or keyword changes nothing
%! trialdraw ('state', 3);
%! trialdraw (0.51 * ones (1, 2), 1);
%! before = trialdraw ('state');
%! bad = {-1, 0.5, 2^32, NaN, Inf, [0 1 1], [1 30307 1], [1 1 30323], [30269 1 1], ...
%!        [1.5 2 3], [1 2], [1 2 3 4], [], [1 2 3; 4 5 6], 1i, sparse([1 2 3]), true, 'abc', {1}, @sin};
%! for i = 1:numel (bad)
%!   try
%!     trialdraw ('state', bad{i});
%!     error ('accepted state %d', i);
%!   catch err
%!     assert (err.identifier, 'gatebox:trialdraw:badState');
%!   end
%! end
%! for w = {'State', 'seed', 'twister', 'ab'}
%!   try
%!     trialdraw (w{1}, 1);
%!     error ('accepted keyword %s', w{1});
%!   catch err
%!     assert (err.identifier, 'gatebox:trialdraw:unknownKeyword');
%!   end
%! end
%! assert (trialdraw ('state'), before);

%!error <must be 0 \(the initial state\), a whole number from 1 to 4294967295> trialdraw ('state', -1)
%!error <1 <= ix <= 30268, 1 <= iy <= 30306 and 1 <= iz <= 30322> trialdraw ('state', [0 1 1])
%!error <'state' takes at most one value> trialdraw ('state', 1, 2)
%!error <The only keyword is 'state'> trialdraw ('seed', 1)
