% gatebox: fast numerical functions as MEX gateways.
% Version 0.1.0
%
% Random sampling (reproducible: each gateway has its own stream)
%   shapedraw   - Gamma random numbers with given shapes.
%   trialdraw   - Binomial random counts.
%   drawcounts  - Multinomial random count vectors, one per column.
%
% Special functions
%   trigamma    - Trigamma function psi'(x).
%   gamma       - Gamma function (exact factorials, Cody's approximation).
%
% Triangular linear algebra
%   uppersubst  - Solve an upper triangular system by back substitution.
%   lowersubst  - Solve a lower triangular system by forward substitution.
%   backapply   - Apply a triangular inverse, triangle chosen from the data.
%
% Array utilities
%   tilearray   - Tile an array along its dimensions (a fast repmat).
%   axisfold    - Sum over chosen dimensions, removing them.
%   tallybins   - Integer histogram.
%   aliascheck  - Test whether two arrays share their data storage.
%
% Flop accounting
%   opcharge    - Add to the global floating-point operation counter.
%
% Building and demo
%   build_gatebox - Compile every gateway with the host's own mex command.
%   gatebox_demo  - Show every function with timings against built-ins.
