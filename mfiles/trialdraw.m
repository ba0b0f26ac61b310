%TRIALDRAW  Binomial random counts.
%   R = TRIALDRAW(P, N) returns, for every element of the real double array
%   P, the number of successes in N independent trials with success
%   probability P(i). All elements share the scalar trial count N, which is
%   truncated toward zero (10.7 gives 10 trials). R has the rows and columns
%   of P and holds whole numbers as doubles.
%
%   Probabilities below 2^-52 (and NaN) give 0, probabilities of 1 or more
%   give N. The draws come from the toolbox's own reproducible generator,
%   whose stream continues from call to call.
%
%   Errors: not exactly two inputs ("Usage: r = bino_sample(p, n)"), an N
%   that is not 1-by-1 ("n must be scalar"), a sparse P ("Cannot handle
%   sparse matrices.  Sorry."), an N that is NaN, negative or beyond the
%   32-bit range (gatebox:trialdraw:badTrialCount), inputs that are not
%   double arrays (gatebox:trialdraw:notDouble). A failed call draws nothing.
%
%   Example:
%      r = trialdraw(0.3 * ones(1, 1e5), 1000);  mean(r)   % about 300
%
%   See also BINORND, SHAPEDRAW, DRAWCOUNTS.
