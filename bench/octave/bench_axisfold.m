## bench_axisfold: axisfold against the fastest composition of sum() calls,
## same inputs, same process, medians of interleaved repetitions.  Process
## CPU time (cputime) is reported beside wall time: on a shared, loaded
## machine the wall time includes the time other processes held the core.
## Run from the build directory:
##   OMP_NUM_THREADS=1 OPENBLAS_NUM_THREADS=1 octave-cli --norc -q \
##     --eval "addpath('octave'); addpath('../bench/octave'); bench_axisfold"
function bench_axisfold (reps)
  if (nargin < 1), reps = 15; end
  clear -global flopcount
  rand ("seed", 1);
  A = rand (100, 200, 50, 20);
  sums = {@() sum (sum (A, 2), 4), @() sum (sum (A, 4), 2)};
  names = {"sum(sum(A,2),4)", "sum(sum(A,4),2)"};
  report ("100x200x50x20 over [2 4]", @() axisfold (A, [2 4]), sums, names, reps);
  B = rand (2000, 2000);
  report ("2000x2000 over dim 1", @() axisfold (B, 1), {@() sum (B, 1)}, {"sum(A,1)"}, reps);
end

function report (label, ours, peers, names, reps)
  t = zeros (reps, 1 + numel (peers));
  c = t;
  fns = [{ours}, peers];
  for r = 1:reps
    for k = 1:numel (fns)
      f = fns{k};
      c0 = cputime (); tic;
      y = f ();                        # y kept: its release is not timed
      t(r, k) = toc; c(r, k) = cputime () - c0;
      clear y
    end
  end
  for [v, kind] = struct ("wall", median (t), "cpu", median (c))
    [best, at] = min (v(2:end));
    printf ("%s (%s): axisfold %.2f ms", label, kind, 1e3 * v(1));
    for k = 1:numel (peers)
      printf (", %s %.2f ms", names{k}, 1e3 * v(k + 1));
    end
    printf ("; fastest peer %s / axisfold = %.2f\n", names{at}, best / v(1));
  end
  v = median (c);  # the table's row: process CPU time, the fastest peer
  [best, at] = min (v(2:end));
  gatebox_bench_row ('axisfold', [label ' (CPU time)'], v(1), names{at}, best);
end
