## bench_tallybins: tallybins against accumarray on 1e7 integers in 1..1000,
## n = 1000, each call on an index vector used for the first time (Octave
## caches the index conversion of an array it has indexed with).  Process
## CPU time is reported beside wall time (see bench_axisfold).
## Run from the build directory:
##   OMP_NUM_THREADS=1 OPENBLAS_NUM_THREADS=1 octave-cli --norc -q \
##     --eval "addpath('octave'); addpath('../bench/octave'); bench_tallybins"
function bench_tallybins (reps)
  if (nargin < 1), reps = 11; end
  rand ("seed", 2);
  x = floor (1000 * rand (1e7, 1)) + 1;
  t = zeros (reps, 3);
  c = t;
  fns = {@(v) tallybins(v, 1000), @(v) accumarray(v, 1, [1000 1]), @(v) tallybins(v)};
  for r = 1:reps
    h = cell (1, 3);
    for k = 1:3
      v = x + 0;                       # a fresh array, never indexed with
      f = fns{k};
      c0 = cputime (); tic;
      h{k} = f (v);
      t(r, k) = toc; c(r, k) = cputime () - c0;
    end
    assert (h{1}, h{2}');
    assert (h{3}, h{2}');
  end
  for [m, kind] = struct ("wall", median (t), "cpu", median (c))
    printf ("1e7 integers in 1..1000 (%s): tallybins(x, 1000) %.2f ms (%.2f ns/element), tallybins(x) %.2f ms, accumarray %.2f ms; accumarray / tallybins(x, 1000) = %.1f\n", ...
            kind, 1e3 * m(1), 1e9 * m(1) / 1e7, 1e3 * m(3), 1e3 * m(2), m(2) / m(1));
  end
  m = median (c);  # the table's row: process CPU time
  gatebox_bench_row ('tallybins', '1e7 integers in 1..1000, n = 1000, fresh arrays (CPU time)', ...
                     m(1), 'accumarray(x, 1, [1000 1])', m(2));
end
