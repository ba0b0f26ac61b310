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
%! ## a char matrix is no keyword: refused as not double
%! try
%!   shapedraw (['ab'; 'cd']);
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

## ---- The stream's state ('state' call forms) ----

%!test
%! ## after one uniform from the load-time state: (17271, 20637, 2082);
%! ## that state set again gives the stream shifted by one uniform;
%! ## 'state', 0 restores the load-time stream; clear restarts it
%! clear shapedraw
%! assert (shapedraw ('state'), [101 1001 10001]);
%! fresh = shapedraw (ones (1, 12));
%! clear shapedraw
%! shapedraw (ones (1, 1));
%! assert (shapedraw ('state'), [17271 20637 2082]);
%! shapedraw (ones (1, 5));
%! shapedraw ('state', [17271; 20637; 2082]);
%! assert (shapedraw (ones (1, 11)), fresh(:, 1+1:end));
%! shapedraw ('state', 0);
%! assert (shapedraw (ones (1, 12)), fresh);
%! shapedraw ('state', 9);
%! clear shapedraw
%! assert (shapedraw ('state'), [101 1001 10001]);

%!test
%! ## a seed gives the same stream every time, in any numeric class;
%! ## asked for, the state set comes back
%! shapedraw ('state', 7);
%! s7 = shapedraw ('state');
%! a = shapedraw (ones (1, 40));
%! assert (shapedraw ('state', int32 (7)), s7);
%! assert (shapedraw (ones (1, 40)), a);
%! shapedraw ('state', 8);
%! assert (! isequal (shapedraw (ones (1, 40)), a));
%! shapedraw ('state', s7);
%! assert (shapedraw (ones (1, 40)), a);
%! assert (all (s7 >= 1 & s7 <= [30268 30306 30322] & s7 == fix (s7)));

%!test
%! ## a refused state or keyword changes nothing
%! shapedraw ('state', 3);
%! shapedraw (ones (1, 2));
%! before = shapedraw ('state');
%! bad = {-1, 0.5, 2^32, NaN, Inf, [0 1 1], [1 30307 1], [1 1 30323], [30269 1 1], ...
%!        [1.5 2 3], [1 2], [1 2 3 4], [], [1 2 3; 4 5 6], 1i, sparse([1 2 3]), true, 'abc', {1}, @sin};
%! for i = 1:numel (bad)
%!   try
%!     shapedraw ('state', bad{i});
%!     error ('accepted state %d', i);
%!   catch err
%!     assert (err.identifier, 'gatebox:shapedraw:badState');
%!   end
%! end
%! for w = {'State', 'seed', 'twister', 'ab'}
%!   try
%!     shapedraw (w{1}, 1);
%!     error ('accepted keyword %s', w{1});
%!   catch err
%!     assert (err.identifier, 'gatebox:shapedraw:unknownKeyword');
%!   end
%! end
%! assert (shapedraw ('state'), before);

%!error <must be 0 \(the initial state\), a whole number from 1 to 4294967295> shapedraw ('state', -1)
%!error <1 <= ix <= 30268, 1 <= iy <= 30306 and 1 <= iz <= 30322> shapedraw ('state', [0 1 1])
%!error <'state' takes at most one value> shapedraw ('state', 1, 2)
%!error <The only keyword is 'state'> shapedraw ('seed', 1)

%!test
%! ## each library keeps its own state: setting one moves no other
%! clear shapedraw trialdraw drawcounts
%! trialdraw ('state', 5);
%! assert (shapedraw ('state'), [101 1001 10001]);
%! assert (drawcounts ('state'), [101 1001 10001]);
%! shapedraw (ones (1, 4));
%! assert (trialdraw ('state'), trialdraw ('state', 5));
%! ## from the load-time state trialdraw and drawcounts give the same counts;
%! ## different seeds give different ones
%! t = trialdraw (0.3 * ones (1, 2000), 20);
%! c = drawcounts (repmat ([0.3; 0.7], 1, 2000), 20);
%! assert (! isequal (t, c(1, :)));
%! clear trialdraw drawcounts
%! t = trialdraw (0.3 * ones (1, 2000), 20);
%! c = drawcounts (repmat ([0.3; 0.7], 1, 2000), 20);
%! assert (t, c(1, :));

%!test
%! ## seeds 1..100: distinct states, and streams of 1000 uniforms (recovered
%! ## from exponential draws) without correlation: for independent streams
%! ## the largest of the 4950 pairwise |r| is near 0.14 (sd 1/sqrt(1000));
%! ## identical or overlapping streams would give r near 1
%! S = zeros (100, 3);
%! U = zeros (1000, 100);
%! for k = 1:100
%!   S(k, :) = shapedraw ('state', k);
%!   U(:, k) = exp (-shapedraw (ones (1000, 1)));
%! end
%! assert (rows (unique (S, 'rows')), 100);
%! R = corr (U) - eye (100);
%! assert (max (abs (R(:))) < 0.2);
%! assert (abs (mean (U(:)) - 0.5) < 0.005);
