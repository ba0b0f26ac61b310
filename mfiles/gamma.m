%GAMMA  Gamma function, element by element.
%   Y = GAMMA(X) returns the gamma function of every element of the real
%   double array X; Y has the rows and columns of X (an N-D X gives a matrix
%   of its rows by the product of its other dimensions). Whole arguments from 1
%   to 23 are exact (a table of factorials); every other argument uses W. J.
%   Cody's rational approximation (SPECFUN, ACM TOMS Algorithm 715).
%
%   Poles (0, -1, -2, ...) and overflow (beyond 171.624) give Inf; NaN gives
%   NaN; Inf and -Inf give Inf. Below -170.624, where |GAMMA| is smaller than
%   the smallest normal number, the result is a zero with the sign of GAMMA.
%
%   This gatebox gateway shadows the built-in GAMMA while it is on the path;
%   builtin('gamma', x) still reaches the built-in.
%
%   Errors: no input ("Not enough input arguments."), two or more inputs
%   ("Too many input arguments."), a complex X ("Argument must be real."),
%   an X that is not a full double array, such as a sparse, single, integer,
%   logical or char array (gatebox:gamma:notDouble).
%
%   Example:
%      gamma([5 0.5 -0.5])    % [24, sqrt(pi), -2*sqrt(pi)]
%
%   See also GAMMALN, TRIGAMMA, FACTORIAL.
