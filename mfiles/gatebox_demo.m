function gatebox_demo ()
  % GATEBOX_DEMO  Show what the gatebox functions do and how fast they are.
  %   Run from the toolbox's root with the built gateways on the path.
  printf ('gatebox demo\n============\n\n');
  demo_trigamma ();
  demo_tilearray ();
  demo_gamma ();
  demo_sampling ();
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

function demo_tilearray ()
  printf ('tilearray(A, [M N ...]): copies of A side by side along every dimension.\n');
  A = [1 2; 3 4];
  printf ('  tilearray([1 2; 3 4], [1 2]) = %s\n', mat2str (tilearray (A, [1 2])));
  printf ('  tilearray(int8([1 2]), 2, 1, 2) has size %s, class %s\n', ...
          mat2str (size (tilearray (int8 ([1 2]), 2, 1, 2))), class (tilearray (int8 ([1 2]), 2, 1, 2)));
  A = rand (500);
  t_gb = best_time (@() tilearray (A, [3 4]), 5);
  t_oct = best_time (@() repmat (A, [3 4]), 5);
  printf ('  500x500 tiled [3 4] (24 MB result): tilearray %.1f ms, repmat %.1f ms\n', 1e3 * t_gb, 1e3 * t_oct);
  printf ('  (both are bound by fresh memory for the result, and Octave 7.3 copies a gateway''s\n');
  printf ('  result once more; which is faster depends on the state of the host''s allocator)\n\n');
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

function demo_sampling ()
  printf ('shapedraw(a), trialdraw(p, n), drawcounts(p, n): gamma, binomial and multinomial draws\n');
  printf ('from one fixed stream per function (the same numbers after every fresh start).\n');
  clear shapedraw trialdraw drawcounts
  printf ('  shapedraw([0.5 1 2 10])         = %s\n', mat2str (shapedraw ([0.5 1 2 10]), 6));
  printf ('  trialdraw([0.1 0.5 0.9], 20)    = %s\n', mat2str (trialdraw ([0.1 0.5 0.9], 20)));
  printf ('  drawcounts([0.2; 0.3; 0.5], 100) = %s\n', mat2str (drawcounts ([0.2; 0.3; 0.5], 100)));
  a = 0.1 + 9.9 * rand (1, 1e6);
  t_gb = best_time (@() shapedraw (a), 5);
  t_oct = best_time (@() randg (a), 5);
  printf ('  1e6 gamma draws, shapes in (0.1, 10): shapedraw %.1f ms, randg %.1f ms: %.1fx faster\n', ...
          1e3 * t_gb, 1e3 * t_oct, t_oct / t_gb);
  p = rand (1, 1e5);
  t_gb = best_time (@() trialdraw (p, 100), 5);
  t_oct = best_time (@() sum (rand (100, numel (p)) < p), 3);
  printf ('  1e5 binomial draws, n = 100: trialdraw %.1f ms, sum(rand(100, N) < p) %.1f ms: %.1fx faster\n', ...
          1e3 * t_gb, 1e3 * t_oct, t_oct / t_gb);
  P = rand (10, 1e4);
  P = P ./ sum (P);
  t_gb = best_time (@() drawcounts (P, 1000), 5);
  printf ('  1e4 multinomial vectors of 10 categories, n = 1000: drawcounts %.1f ms\n\n', 1e3 * t_gb);
end
