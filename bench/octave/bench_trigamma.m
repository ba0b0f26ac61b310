% bench_trigamma: trigamma(x) against Octave's psi(1, x) on 1e6 values
% uniform in (0, 100), same inputs, same process; medians of repeated runs.
% Beside them, the host's own floor for a 1e6-element result: writefloor (a
% gateway that only makes its output as trigamma does and writes it once,
% where it is built) and the interpreter's x + 1.
% Run: OMP_NUM_THREADS=1 OPENBLAS_NUM_THREADS=1 octave-cli --eval \
%        "addpath('build/octave'); addpath('build/octave/bench'); addpath('bench/octave'); bench_trigamma"
% (or all benchmarks: bash scripts/bench.sh)
function bench_trigamma ()
  rand ('seed', 1);
  x = 100 * rand (1, 1e6);
  reps = 15;
  have_floor = exist ("writefloor") == 3;
  t_gb = zeros (1, reps); t_psi = t_gb; t_wf = t_gb; t_add = t_gb;
  for k = 1:reps
    tic; y1 = trigamma (x); t_gb(k) = toc;
    tic; y2 = psi (1, x); t_psi(k) = toc;
    if (have_floor)
      tic; y3 = writefloor (x, size (x)); t_wf(k) = toc;
    end
    tic; y4 = x + 1; t_add(k) = toc;
  end
  printf ('trigamma  1e6 in (0,100): gatebox %.2f ms, psi(1,x) %.2f ms, ratio %.2fx (median of %d)\n', ...
          1e3 * median (t_gb), 1e3 * median (t_psi), median (t_psi) / median (t_gb), reps);
  if (have_floor)
    printf ('host floor for the 1e6 result: writefloor %.2f ms (%.3f of psi), x + 1 %.2f ms (%.3f of psi)\n', ...
            1e3 * median (t_wf), median (t_wf) / median (t_psi), 1e3 * median (t_add), median (t_add) / median (t_psi));
  end
  printf ('max relative difference from psi(1,x): %.2g\n', max (abs (y1 - y2) ./ abs (y2)));
  gatebox_bench_row ('trigamma', '1e6 values uniform in (0, 100)', median (t_gb), ...
                     'psi(1, x)', median (t_psi));
end
