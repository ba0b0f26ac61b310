## gamma in GNU Octave: the by-reference MEX file shadows the built-in, which
## stays reachable as builtin ('gamma', x) and serves as the reference.

%!test
%! ## the MEX file is what runs, under its own version string
%! assert (exist ('gamma'), 3);
%! assert (gamma (5), 24);

%!test
%! ## whole arguments 1 .. 23 are exact factorials (22! = 1124000727777607680000)
%! assert (gamma (1:23), [1 cumprod(1:22)]);
%! assert (gamma (23), 1124000727777607680000);
%! ## 24 goes through Stirling's series: close to 23!, not necessarily equal
%! assert (gamma (24), prod (1:23), 2e-14 * prod (1:23));

%!test
%! ## poles, overflow and NaN
%! assert (gamma ([0 -0 -1 -7 -1e300 Inf -Inf 171.7 1e-309]), Inf (1, 9));
%! assert (isnan (gamma (NaN)));
%! assert (gamma (0.5), sqrt (pi), 4 * eps);
%! assert (gamma (-0.5), -2 * sqrt (pi), 8 * eps);
%! assert (gamma (1e-300), 1e300, 1e285);
%! assert (gamma (171.6), 1.585896909667256509e308, 1e-13 * 1.6e308);  # mpmath, 20 digits
%! ## below -170.624 the magnitude is under the smallest normal number: a
%! ## zero with the sign of Gamma (negative on (-2k-1, -2k)), as the built-in
%! y = gamma ([-200.5 -201.5 -170.7]);
%! assert (y, [0 0 0]);
%! assert (1 ./ y, [-Inf Inf -Inf]);
%! assert (1 ./ builtin ('gamma', [-200.5 -201.5]), [-Inf Inf]);

%!test
%! ## accuracy against the built-in over (-170, 171.6), a million points.
%! ## Cody's method loses about eps * |ln Gamma(x)| in exp of the series, and
%! ## near a negative pole eps / (1 - r) in sin (pi * r), r the fraction of -x.
%! x = linspace (-170, 171.6, 1e6);
%! x = x(x != round (x) | x > 0);
%! r = abs (gamma (x) ./ builtin ('gamma', x) - 1);
%! f = -x - floor (-x);
%! bound = 4e-15 + 1.5e-15 * abs (x) + 4 * eps ./ (1 - f) .* (x < 0);
%! assert (all (r <= bound), sprintf ('worst x = %.17g', x(find (r > bound, 1))));
%! assert (max (r(x > 0 & x < 12)) <= 6 * eps);   # both about 1 ulp here

%!test
%! ## shape: every dimension of the input
%! assert (size (gamma (zeros (0, 3))), [0 3]);
%! assert (size (gamma ([])), [0 0]);
%! assert (size (gamma (ones (2, 3))), [2 3]);
%! assert (size (gamma (ones (2, 3, 4))), [2 3 4]);
%! assert (gamma (reshape (1:8, 2, 2, 2)), reshape ([1 1 2 6 24 120 720 5040], 2, 2, 2));
%! assert (class (gamma (5)), 'double');
%! x = [0.5 3; -2.5 7];
%! y = gamma (x);
%! assert (x, [0.5 3; -2.5 7]);   # the input is unchanged
%! assert (y, builtin ('gamma', x), 1e-14 * abs (y));

%!error <Not enough input arguments\.> gamma ()
%!error <Too many input arguments\.> gamma (1, 2)
%!error <Argument must be real\.> gamma (1+2i)
%!error <Argument must be real\.> gamma (complex (1, 0))
%!error <Argument must be real\.> gamma (single (1i))
%!test
%! ## every input but a full real double array is answered by the built-in:
%! ## class, shape and value as without the toolbox, N-D and empty included
%! calls = {single([1 2; 3 4.5]), int8([3 4]), uint8(200), true(2, 2, 2), ...
%!          sparse([0 1 2.5]), sparse(zeros(2, 0)), single(ones(2, 3, 4)), ...
%!          zeros(0, 3, 'single'), int32([]), single([-1 0 NaN Inf])};
%! for k = 1:numel (calls)
%!   y = gamma (calls{k});
%!   y0 = builtin ('gamma', calls{k});
%!   assert (class (y), class (y0));
%!   assert (issparse (y), issparse (y0));
%!   assert (size (y), size (y0));
%!   assert (isequaln (y, y0), sprintf ('call %d differs from the built-in', k));
%! end

%!function refuses (id, msg, f)
%!  ## f () must end with identifier id and message msg (Octave puts the
%!  ## function's name in front of a MEX file's message).
%!  try
%!    f ();
%!  catch err
%!    assert (err.identifier, id);
%!    name = strsplit (id, ":"){2};
%!    assert (any (strcmp (err.message, {msg, [name ": " msg]})), "message: %s", err.message);
%!    return;
%!  end_try_catch
%!  error ("no error for %s", id);
%!endfunction

%!test
%! ## one refusal of each kind, with its identifier gatebox:<function>:<reason>
%! refuses ("gatebox:gamma:notEnoughInputs", "Not enough input arguments.", @() gamma ());
%! refuses ("gatebox:gamma:tooManyInputs", "Too many input arguments.", @() gamma (1, 2));
%! refuses ("gatebox:gamma:notReal", "Argument must be real.", @() gamma (1i));

%!test
%! ## functions built on gamma give what they give with the MEX file off the
%! ## path
%! f = {@() factorial(single(5)), @() factorial(int8([3 4])), ...
%!      @() factorial(single(ones(2, 2, 2))), @() nchoosek(int16(10), 3), ...
%!      @() beta(single(2), single(3)), @() factorial(true(1, 3))};
%! with = cellfun (@(g) g(), f, 'UniformOutput', false);
%! ## the folders of gamma.mex and of the help text gamma.m leave the path
%! p = path ();
%! unwind_protect
%!   while (exist ('gamma') != 5)
%!     rmpath (fileparts (which ('gamma'))); clear gamma;
%!   end
%!   without = cellfun (@(g) g(), f, 'UniformOutput', false);
%! unwind_protect_cleanup
%!   path (p); clear gamma;
%! end_unwind_protect
%! assert (exist ('gamma'), 3);
%! for k = 1:numel (f)
%!   assert (class (with{k}), class (without{k}));
%!   assert (isequaln (with{k}, without{k}), sprintf ('call %d differs', k));
%! end

%!error <Argument must be real\.> gamma (single (1i))
%!error <Argument must be real\.> gamma (complex (int8 (1), int8 (2)))
%!error <not defined for cell> gamma ({1})
%!error <argument must be numeric> gamma ("ab")
%!error gamma (struct ('a', 1))
%!error gamma (@sin)
