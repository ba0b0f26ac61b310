%SHAPEDRAW  Gamma random numbers with given shapes and unit scale.
%   X = SHAPEDRAW(A) returns one draw from the gamma distribution with shape
%   A(i) and scale 1 for every element of the real double array A, in
%   storage order. X has the rows and columns of A.
%
%   Replaces RANDG(A). Differences: the toolbox's own generator and streams
%   (RANDG's state and seed calls do not touch it); a complex A is read
%   through its real part. SHAPEDRAW, TRIALDRAW and DRAWCOUNTS start from the
%   same fixed state, so in a fresh session their first draws are made from
%   the same uniforms.
%
%   The draws come from the toolbox's own generator (Wichmann-Hill, with
%   Cheng and Feast's ratio-of-uniforms gamma method). Each gateway has its
%   own stream, which starts from fixed seeds when the library is loaded
%   and continues from call to call: results are reproducible, and a call
%   on [a1 a2] gives the same values as a call on a1 followed by one on a2.
%   Shapes that are NaN give NaN; shapes below 2^-52 (zero, negative) give 0;
%   an infinite shape gives Inf.
%
%   The generator state: S = SHAPEDRAW('state') returns the stream's current
%   state as a 1-by-3 row [ix iy iz] and draws nothing; SHAPEDRAW('state', S)
%   sets it again, so a run can be repeated from that point:
%      s = shapedraw('state');  x1 = shapedraw(a);
%      shapedraw('state', s);   x2 = shapedraw(a);   % isequal(x1, x2)
%   SHAPEDRAW('state', K), K a whole number from 1 to 4294967295, starts from
%   a state derived from the seed K by a fixed mapping (the same on every
%   build); different seeds give unrelated streams, for independent
%   experiments or parallel jobs. SHAPEDRAW('state', 0) returns to
%   the state of a freshly loaded library (101, 1001, 10001),
%   as CLEAR SHAPEDRAW does.
%   SHAPEDRAW, TRIALDRAW and DRAWCOUNTS keep separate states but all start
%   from that same one, so their draws coincide unless they are given
%   different seeds. Any other state is refused (gatebox:shapedraw:badState),
%   as is any keyword but 'state' (gatebox:shapedraw:unknownKeyword).
%
%   Errors: a call without exactly one input ("Usage: x = shapedraw(a)"), a
%   sparse A ("Cannot handle sparse matrices.  Sorry."), an A that is not a
%   double array (gatebox:shapedraw:notDouble). A failed call draws nothing.
%
%   Example:
%      >> x = shapedraw(2.5 * ones(1, 1e5));  abs(mean(x) - 2.5) < 0.05
%      ans = 1
%
%
%   See also RANDG, GAMRND, TRIALDRAW, DRAWCOUNTS.

%!test
%! x = shapedraw ([2.5 * ones(1, 2e4), NaN, 0, -1, Inf]);
%! assert (abs (mean (x(1:2e4)) - 2.5) < 0.1);
%! assert (all (x(1:2e4) > 0));
%! assert (isnan (x(end-3)));
%! assert (x(end-2:end), [0 0 Inf]);
%!test
%! ## one call on [a1 a2] draws what a call on a1 and one on a2 draw
%! clear shapedraw
%! x = shapedraw ([1.5 7 0.3 2]);
%! clear shapedraw
%! y = [shapedraw([1.5 7]), shapedraw([0.3 2])];
%! assert (x, y);
%!assert (size (shapedraw (ones (3, 2))), [3 2])
%!error <Usage: x = shapedraw\(a\)> shapedraw ()
%!error <Cannot handle sparse matrices\.  Sorry\.> shapedraw (sparse (1))
%!error shapedraw (int8 (1))
%!demo
%! x = shapedraw (2.5 * ones (1, 1e5));
%! printf ("mean %.3f (2.5), variance %.3f (2.5)\n", mean (x), var (x));
