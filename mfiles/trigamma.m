%TRIGAMMA  Trigamma function psi'(x), element by element.
%   Y = TRIGAMMA(X) returns the second derivative of log(gamma(X)) for every
%   element of the real double array X. Y is a real double matrix with the
%   rows and columns of X (an N-D X is returned as size(X,1)-by-numel/rows).
%   A complex X is read through its real part.
%
%   Special values: poles at 0, -1, -2, ... give Inf; -Inf and NaN give NaN;
%   Inf gives 0. Negative arguments use the reflection formula.
%
%   Errors: a call without exactly one input ("Usage: x = trigamma(n)"), a
%   sparse X ("Cannot handle sparse matrices.  Sorry."), an X that is not a
%   double array (gatebox:trigamma:notDouble).
%
%   Example:
%      trigamma([0.5 1 2])     % [pi^2/2, pi^2/6, pi^2/6 - 1]
%
%   See also PSI, GAMMALN, GAMMA.
