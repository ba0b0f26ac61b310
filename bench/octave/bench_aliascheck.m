% bench_aliascheck: aliascheck(a, c) against isequal(a, c) on a 1000x1000
% copy c = a (shared storage, so both answer "the same"): the storage test
% is constant time, the value comparison reads both arrays.  Same process,
% medians of repeated runs.
% Run: OMP_NUM_THREADS=1 OPENBLAS_NUM_THREADS=1 octave-cli --eval \
%        "addpath('build/octave'); addpath('bench/octave'); bench_aliascheck"
% (or all benchmarks: bash scripts/bench.sh)
function bench_aliascheck ()
  rand ('seed', 5);
  a = rand (1000);
  c = a;
  reps = 101;
  t = zeros (reps, 2);
  for k = 1:reps
    tic; s1 = aliascheck (a, c); t(k, 1) = toc;
    tic; s2 = isequal (a, c); t(k, 2) = toc;
  end
  assert (s1 == 1 && s2);
  m = median (t);
  printf ('aliascheck 1000x1000 copies: aliascheck %.2f us, isequal %.2f us, ratio %.0fx (median of %d)\n', ...
          1e6 * m(1), 1e6 * m(2), m(2) / m(1), reps);
  gatebox_bench_row ('aliascheck', '1000x1000 copy sharing storage', m(1), 'isequal(a, c)', m(2));
end
