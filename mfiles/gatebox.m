%GATEBOX  Fast numerical functions as MEX gateways (the gatebox package).
%   Every function is a compiled MEX file; help NAME, test NAME and
%   demo NAME work for each of them. Results are the same to the bit on
%   every run.
%
%   Random sampling (the toolbox's own reproducible generator)
%     shapedraw   - Gamma random numbers with given shapes (randg).
%     trialdraw   - Binomial random counts (binornd, arguments reversed).
%     drawcounts  - Multinomial random count vectors, one per column (mnrnd).
%
%   Special functions
%     trigamma    - Trigamma function psi'(x) (psi(1, x)).
%     gamma       - Gamma function: exact factorials, Cody's approximation;
%                   stands in for the built-in gamma.
%
%   Triangular linear algebra
%     uppersubst  - Solve an upper triangular system (linsolve with UT).
%     lowersubst  - Solve a lower triangular system (linsolve with LT).
%     backapply   - Apply a triangular inverse, triangle chosen from T(2,1).
%
%   Array utilities
%     tilearray   - Tile an array along its dimensions (repmat).
%     axisfold    - Sum over chosen dimensions, removing them (sum).
%     tallybins   - Integer histogram (accumarray).
%     aliascheck  - Test whether two arrays share their data storage.
%
%   Flop accounting
%     opcharge    - Add to the global floating-point operation counter.
%
%   Building and demo
%     build_gatebox - Compile every gateway with the host's own mex command.
%     gatebox_demo  - Show every function with timings against built-ins.
%
%   Licence: BSD-3-Clause. Copyright (c) 2026, the gatebox authors.

%!test
%! ## every function this help lists is installed beside it
%! txt = evalc ('help gatebox');
%! names = regexp (txt, '^\s+(\w+)\s+- ', 'tokens', 'lineanchors');
%! names = cellfun (@(c) c{1}, names, 'UniformOutput', false);
%! assert (numel (names), 15);
%! for k = 1:numel (names)
%!   assert (any (exist (names{k}) == [2 3]), names{k});
%! end
