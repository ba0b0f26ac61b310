% bench_opcharge: the cost of one opcharge(3) call against the same charge
% written in Octave, flopcount = flopcount + 3 on the global counter, both in
% a loop of 2e4 inside a function.  Same process, medians of repeated runs;
% the times are per charge.
% Run: OMP_NUM_THREADS=1 OPENBLAS_NUM_THREADS=1 octave-cli --eval \
%        "addpath('build/octave'); addpath('bench/octave'); bench_opcharge"
% (or all benchmarks: bash scripts/bench.sh)
function bench_opcharge ()
  global flopcount
  n = 2e4;
  reps = 9;
  t = zeros (reps, 2);
  for k = 1:reps
    flopcount = 0;
    tic; charge_loop (n); t(k, 1) = toc;
    assert (flopcount, 3 * n);
    flopcount = 0;
    tic; add_loop (n); t(k, 2) = toc;
    assert (flopcount, 3 * n);
  end
  m = median (t) / n;
  printf ('opcharge per charge: opcharge(3) %.2f us, flopcount = flopcount + 3 %.2f us, ratio %.2fx (median of %d loops of %d)\n', ...
          1e6 * m(1), 1e6 * m(2), m(2) / m(1), reps, n);
  gatebox_bench_row ('opcharge', 'one charge of 3, in a loop of 2e4', m(1), ...
                     'flopcount = flopcount + 3', m(2));
end

function charge_loop (n)
  for k = 1:n
    opcharge (3);
  end
end

function add_loop (n)
  global flopcount
  for k = 1:n
    flopcount = flopcount + 3;
  end
end
