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
%   Accuracy: about 4e-14 relative for |X| up to about 25, the error growing
%   as about 1.5e-15*|X| beyond (the rounding of ln GAMMA before its
%   exponential) and near the negative poles (the rounding of the fraction of
%   -X); within one or two units in the last place on (0, 12).
%
%   Replaces the built-in GAMMA while the package is loaded. Only a full real
%   double X gets this function's values; every other input (single,
%   integer, logical, sparse, char, ...) is answered by the built-in itself,
%   so FACTORIAL, NCHOOSEK, BETA and the other functions built on GAMMA give
%   what they give without the package. A complex X is refused (the
%   built-in refuses it too).
%
%   Example:
%      >> gamma([5 0.5 -0.5])
%      ans =
%         24.0000    1.7725   -3.5449
%
%      >> gamma(23) == prod(1:22)
%      ans = 1
%
%      >> class(gamma(single(5)))
%      ans = single
%
%
%   See also GAMMALN, TRIGAMMA, FACTORIAL.

%!assert (gamma (1:23), [1 cumprod(1:22)])
%!assert (gamma ([0.5 -0.5]), [sqrt(pi) -2*sqrt(pi)], 8 * eps)
%!assert (gamma ([0 -1 Inf NaN]), [Inf Inf Inf NaN])
%!test
%! x = linspace (0.1, 25, 1000);
%! assert (gamma (x), builtin ('gamma', x), 4e-14 * builtin ('gamma', x));
%!test
%! ## inputs other than full real double arrays: the built-in's answer
%! for c = {single([1.5 4]), int8([3 5]), true(1, 2), sparse([0 2]), zeros(0, 2, 'single')}
%!   assert (isequaln (gamma (c{1}), builtin ('gamma', c{1})));
%!   assert (class (gamma (c{1})), class (builtin ('gamma', c{1})));
%! end
%!assert (factorial (single (5)), single (120))
%!assert (nchoosek (int16 (10), 3), int16 (120))
%!error <Not enough input arguments\.> gamma ()
%!error <Too many input arguments\.> gamma (1, 2)
%!error <Argument must be real\.> gamma (1 + 2i)
%!demo
%! x = [1 5 10 23 0.5 -0.5 2.5];
%! [x; gamma(x); builtin('gamma', x)]'   % gatebox's gamma beside the built-in
%! gamma (23) == prod (1:22)             % whole arguments 1..23 are exact
