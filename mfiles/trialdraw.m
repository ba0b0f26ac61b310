%TRIALDRAW  Binomial random counts.
%   R = TRIALDRAW(P, N) returns, for every element of the real double array
%   P, the number of successes in N independent trials with success
%   probability P(i). All elements share the scalar trial count N, which is
%   truncated toward zero (10.7 gives 10 trials). R has the rows and columns
%   of P and holds whole numbers as doubles.
%
%   Replaces BINORND(N, P) of the statistics package, with the arguments the
%   other way round: TRIALDRAW(P, N), probabilities first, and N a scalar.
%   A complex P is read through its real part. TRIALDRAW, SHAPEDRAW and
%   DRAWCOUNTS start from the same fixed state: in a fresh session
%   TRIALDRAW(P, N) and the first row of DRAWCOUNTS([P; 1 - P], N) are the same
%   draws.
%
%   Probabilities below 2^-52 (and NaN) give 0, probabilities of 1 or more
%   give N. The draws come from the toolbox's own reproducible generator,
%   whose stream continues from call to call.
%
%   The generator state: S = TRIALDRAW('state') returns the stream's current
%   state as a 1-by-3 row [ix iy iz] and draws nothing; TRIALDRAW('state', S)
%   sets it again, so a run can be repeated from that point:
%      s = trialdraw('state');  x1 = trialdraw(p, n);
%      trialdraw('state', s);   x2 = trialdraw(p, n);   % isequal(x1, x2)
%   TRIALDRAW('state', K), K a whole number from 1 to 4294967295, starts from
%   a state derived from the seed K by a fixed mapping (the same on every
%   build); different seeds give unrelated streams, for independent
%   experiments or parallel jobs. TRIALDRAW('state', 0) returns to
%   the state of a freshly loaded library (101, 1001, 10001),
%   as CLEAR TRIALDRAW does.
%   SHAPEDRAW, TRIALDRAW and DRAWCOUNTS keep separate states but all start
%   from that same one, so their draws coincide unless they are given
%   different seeds. Any other state is refused (gatebox:trialdraw:badState),
%   as is any keyword but 'state' (gatebox:trialdraw:unknownKeyword).
%
%   Errors: not exactly two inputs ("Usage: r = bino_sample(p, n)"), an N
%   that is not 1-by-1 ("n must be scalar"), a sparse P ("Cannot handle
%   sparse matrices.  Sorry."), an N that is NaN, negative or beyond the
%   32-bit range (gatebox:trialdraw:badTrialCount), inputs that are not
%   double arrays (gatebox:trialdraw:notDouble). A failed call draws nothing.
%
%   Example:
%      >> r = trialdraw(0.3 * ones(1, 1e5), 1000);  abs(mean(r) - 300) < 1
%      ans = 1
%
%
%   See also BINORND, SHAPEDRAW, DRAWCOUNTS.

%!test
%! r = trialdraw (0.3 * ones (1, 2e4), 1000);
%! assert (abs (mean (r) - 300) < 2);
%! assert (all (r == fix (r) & r >= 0 & r <= 1000));
%! assert (trialdraw ([0 NaN 1 2], 10.7), [0 0 10 10]);
%!test
%! ## the same fixed starting state as drawcounts
%! p = [0.3 0.5 0.9];
%! clear trialdraw drawcounts
%! r = trialdraw (p, 10);
%! h = drawcounts ([p; 1 - p], 10);
%! assert (r, h(1, :));
%!assert (size (trialdraw (0.5 * ones (2, 3), 4)), [2 3])
%!error <Usage: r = bino_sample\(p, n\)> trialdraw (0.5)
%!error <n must be scalar> trialdraw (0.5, [1 2])
%!error <Cannot handle sparse matrices\.  Sorry\.> trialdraw (sparse (0.5), 3)
%!error trialdraw (0.5, -1)
%!demo
%! r = trialdraw (0.3 * ones (1, 1e5), 1000);   % note: p first, then n
%! printf ("mean %.2f (300), variance %.2f (210)\n", mean (r), var (r));
