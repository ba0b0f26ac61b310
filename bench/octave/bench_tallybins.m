## bench_tallybins: tallybins against accumarray on x = randi (1000, 1e7, 1),
## n = 1000.  accumarray runs twice: on an x already used as an index (Octave
## keeps the index conversion of an array it has indexed with, so the call
## skips it: the fastest accumarray there is), and on a fresh copy of x,
## never indexed with.  tallybins reads the values whatever their history,
## and gets a fresh copy.  Process CPU time is reported beside wall time
## (see bench_axisfold).
## Run from the build directory:
##   OMP_NUM_THREADS=1 OPENBLAS_NUM_THREADS=1 octave-cli --norc -q \
##     --eval "addpath('octave'); addpath('../bench/octave'); bench_tallybins"
function bench_tallybins (reps)
  if (nargin < 1), reps = 11; end
  rand ("seed", 2);
  x = randi (1000, 1e7, 1);
  z = zeros (1000, 1);
  z(x);                                # x used as an index: its conversion is kept
  fns = {@(v) tallybins(v, 1000), @(v) accumarray(x, 1), @(v) accumarray(v, 1, [1000 1]), ...
         @(v) tallybins(v)};
  names = {"tallybins(x, 1000)", "accumarray(x, 1), x already used as an index", ...
           "accumarray(x, 1, [1000 1]), fresh x", "tallybins(x)"};
  t = zeros (reps, numel (fns));
  c = t;
  for r = 1:reps
    h = cell (1, numel (fns));
    for k = 1:numel (fns)
      v = x + 0;                       # a fresh array, never indexed with
      f = fns{k};
      c0 = cputime (); tic;
      h{k} = f (v);
      t(r, k) = toc; c(r, k) = cputime () - c0;
    end
    for k = [1 3 4]
      assert (h{k}(:), h{2});
    end
  end
  for [m, kind] = struct ("wall", median (t), "cpu", median (c))
    printf ("1e7 integers in 1..1000 (%s): tallybins(x, 1000) %.2f ms (%.2f ns/element), tallybins(x) %.2f ms\n", ...
            kind, 1e3 * m(1), 1e9 * m(1) / 1e7, 1e3 * m(4));
    for k = 2:3
      printf ("  %s %.2f ms; / tallybins(x, 1000) = %.1f\n", names{k}, 1e3 * m(k), m(k) / m(1));
    end
  end
  m = median (c);  # the table's rows: process CPU time
  for k = 2:3
    gatebox_bench_row ('tallybins', '1e7 integers in 1..1000, n = 1000 (CPU time)', m(1), names{k}, m(k));
  end
end
