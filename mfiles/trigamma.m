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
%   Accuracy: below x = 8 the argument is raised by the recurrence
%   psi'(x) = psi'(x+1) + 1/x^2 and the asymptotic series is summed there; its
%   truncation leaves about 3e-12 relative error near x = 8, and about 3e-13
%   at x = 1.
%
%   Replaces PSI(1, X). Differences: a complex X is read through its real
%   part (psi refuses it); the result is double whatever class X has.
%
%   Example:
%      >> trigamma([0.5 1 2])
%      ans =
%         4.9348   1.6449   0.6449
%
%      >> abs(trigamma(8) / psi(1, 8) - 1) < 5e-12
%      ans = 1
%
%
%   See also PSI, GAMMALN, GAMMA.

%!assert (trigamma ([0.5 1 2]), [pi^2/2, pi^2/6, pi^2/6 - 1], 1e-12)
%!assert (trigamma (8), psi (1, 8), 5e-12 * psi (1, 8))
%!assert (trigamma ([0 -1 Inf -Inf NaN]), [Inf Inf 0 NaN NaN])
%!assert (trigamma (-0.5), pi^2 / 2 + 4, 1e-11)   # reflection: pi^2 - trigamma (1.5)
%!assert (trigamma (complex (2, 5)), trigamma (2))
%!assert (size (trigamma (zeros (0, 3))), [0 3])
%!error <Usage: x = trigamma\(n\)> trigamma ()
%!error <Usage: x = trigamma\(n\)> trigamma (1, 2)
%!error <Cannot handle sparse matrices\.  Sorry\.> trigamma (sparse (1))
%!error trigamma (single (1))
%!demo
%! x = linspace (0.2, 6, 30);
%! [x; trigamma(x); psi(1, x)]'    % trigamma beside the built-in psi(1, x)
