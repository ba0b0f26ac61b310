%DRAWCOUNTS  Multinomial random count vectors, one per column.
%   H = DRAWCOUNTS(P, N) treats every column of the real double matrix P as
%   the category probabilities of a multinomial distribution and returns in
%   the same column of H how many of N trials fell into each category. N is
%   a scalar, truncated toward zero. The last category receives the trials
%   the others leave, so its own probability (the last row of P) is never
%   read; once the remaining probability is exactly 0 the rest are 0.
%
%   Replaces MNRND(N, P') of the statistics package: one multinomial draw per
%   column of P (MNRND takes one per row), counts in the same column of H. A
%   complex P is read through its real part. DRAWCOUNTS, SHAPEDRAW and
%   TRIALDRAW start from the same fixed state, so DRAWCOUNTS([P; 1 - P], N) in
%   a fresh session has TRIALDRAW(P, N) as its first row.
%
%   Columns are drawn one after another by conditional binomial draws from
%   the toolbox's own reproducible generator; [p1 p2] in one call equals a
%   call on p1 followed by a call on p2.
%
%   The generator state: S = DRAWCOUNTS('state') returns the stream's current
%   state as a 1-by-3 row [ix iy iz] and draws nothing; DRAWCOUNTS('state', S)
%   sets it again, so a run can be repeated from that point:
%      s = drawcounts('state');  x1 = drawcounts(p, n);
%      drawcounts('state', s);   x2 = drawcounts(p, n);   % isequal(x1, x2)
%   DRAWCOUNTS('state', K), K a whole number from 1 to 4294967295, starts from
%   a state derived from the seed K by a fixed mapping (the same on every
%   build); different seeds give unrelated streams, for independent
%   experiments or parallel jobs. DRAWCOUNTS('state', 0) returns to
%   the state of a freshly loaded library (101, 1001, 10001),
%   as CLEAR DRAWCOUNTS does.
%   SHAPEDRAW, TRIALDRAW and DRAWCOUNTS keep separate states but all start
%   from that same one, so their draws coincide unless they are given
%   different seeds. Any other state is refused (gatebox:drawcounts:badState),
%   as is any keyword but 'state' (gatebox:drawcounts:unknownKeyword).
%
%   Errors: not exactly two inputs ("Usage: h = drawcounts(p, n)"), an N that
%   is not 1-by-1 ("n must be scalar"), a sparse P ("Cannot handle sparse
%   matrices.  Sorry."), a bad trial count (gatebox:drawcounts:badTrialCount),
%   inputs that are not double arrays (gatebox:drawcounts:notDouble).
%
%   Example:
%      >> h = drawcounts([0.2; 0.3; 0.5], 100);  [size(h), sum(h)]
%      ans =
%           3     1   100
%
%
%   See also MNRND, TRIALDRAW, SHAPEDRAW.

%!test
%! h = drawcounts (repmat ([0.2; 0.3; 0.5], 1, 2000), 100);
%! assert (size (h), [3 2000]);
%! assert (all (sum (h) == 100));
%! assert (mean (h, 2), [20; 30; 50], 1);
%!test
%! ## the last category takes what the others leave; its row is not read
%! assert (drawcounts ([0; 0; NaN], 7), [0; 0; 7]);
%! assert (drawcounts ([1; 0; 5], 9), [9; 0; 0]);
%!test
%! ## [p1 p2] in one call equals p1 then p2
%! p = [0.2 0.6; 0.3 0.1; 0.5 0.3];
%! clear drawcounts
%! a = drawcounts (p, 50);
%! clear drawcounts
%! b = [drawcounts(p(:, 1), 50), drawcounts(p(:, 2), 50)];
%! assert (a, b);
%!error <Usage: h = drawcounts\(p, n\)> drawcounts ([0.5; 0.5])
%!error <n must be scalar> drawcounts ([0.5; 0.5], [1 2])
%!error <Cannot handle sparse matrices\.  Sorry\.> drawcounts (sparse ([0.5; 0.5]), 3)
%!demo
%! h = drawcounts (repmat ([0.2; 0.3; 0.5], 1, 5), 100)   % five draws, one per column
