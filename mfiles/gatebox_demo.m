function gatebox_demo ()
  % GATEBOX_DEMO  Show what the gatebox functions do and how fast they are.
  %   Run from the toolbox's root with the built gateways on the path.
  printf ('gatebox demo\n============\n\n');
  demo_trigamma ();
  demo_gamma ();
end

function t = best_time (f, reps)
  % Median wall time of REPS runs of F.
  times = zeros (1, reps);
  for k = 1:reps
    tic; f (); times(k) = toc;
  end
  t = median (times);
end

function demo_trigamma ()
  printf ('trigamma(x): the second derivative of log(gamma(x)), element by element.\n');
  x = [0.5 1 2 10];
  printf ('  trigamma([0.5 1 2 10])  = %s\n', mat2str (trigamma (x), 6));
  printf ('  psi(1, [0.5 1 2 10])    = %s\n', mat2str (psi (1, x), 6));
  x = 100 * rand (1, 1e6);
  t_gb = best_time (@() trigamma (x), 5);
  t_oct = best_time (@() psi (1, x), 5);
  printf ('  1e6 values in (0, 100): trigamma %.1f ms, psi(1, x) %.1f ms: %.1fx faster\n\n', ...
          1e3 * t_gb, 1e3 * t_oct, t_oct / t_gb);
end

function demo_gamma ()
  printf ('gamma(x): the gamma function (shadows the built-in; builtin(''gamma'', x) is Octave''s).\n');
  x = [5 23 0.5 -0.5 -200.5];
  printf ('  gamma([5 23 0.5 -0.5 -200.5])            = %s\n', mat2str (gamma (x), 6));
  printf ('  builtin(''gamma'', [5 23 0.5 -0.5 -200.5]) = %s\n', mat2str (builtin ('gamma', x), 6));
  x = -50 + 220 * rand (1, 1e6);
  t_gb = best_time (@() gamma (x), 5);
  t_oct = best_time (@() builtin ('gamma', x), 5);
  printf ('  1e6 values in (-50, 170): gamma %.1f ms, builtin gamma %.1f ms: %.1fx faster\n\n', ...
          1e3 * t_gb, 1e3 * t_oct, t_oct / t_gb);
end
