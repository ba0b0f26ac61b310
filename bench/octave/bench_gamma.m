% bench_gamma: gamma(x) (the gatebox MEX file, which shadows the built-in)
% against builtin('gamma', x) on 1e6 values uniform in (-50, 170), same
% inputs, same process, alternating runs; medians of repeated runs.
% Run: OMP_NUM_THREADS=1 OPENBLAS_NUM_THREADS=1 octave-cli --eval \
%        "addpath('build/octave'); addpath('bench/octave'); bench_gamma"
% (or all benchmarks: bash scripts/bench.sh)
function bench_gamma ()
  rand ('seed', 1);
  x = -50 + 220 * rand (1, 1e6);
  reps = 15;
  t_gb = zeros (1, reps); t_bi = zeros (1, reps);
  for k = 1:reps
    tic; y1 = gamma (x); t_gb(k) = toc;
    tic; y2 = builtin ('gamma', x); t_bi(k) = toc;
  end
  printf ('gamma  1e6 in (-50,170): gatebox %.2f ms, builtin gamma %.2f ms, ratio %.2fx (median of %d)\n', ...
          1e3 * median (t_gb), 1e3 * median (t_bi), median (t_bi) / median (t_gb), reps);
  printf ('max relative difference from builtin gamma: %.2g\n', max (abs (y1 - y2) ./ abs (y2)));
  gatebox_bench_row ('gamma', '1e6 values uniform in (-50, 170)', median (t_gb), ...
                     'builtin(''gamma'', x)', median (t_bi));
end
