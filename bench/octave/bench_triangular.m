## bench_triangular: uppersubst, lowersubst and backapply against linsolve
## with the triangle declared (Octave's LAPACK/BLAS triangular solve), on the
## same inputs in the same process: T = triu (rand (2000)) + 2000 * eye (2000)
## with b = rand (2000, 100), the lower problem T' with the same b, and order
## 50 with one right-hand side.  Run single-threaded from the toolbox root:
##   OMP_NUM_THREADS=1 OPENBLAS_NUM_THREADS=1 octave-cli bench/octave/bench_triangular.m
## Each round times every contender once, in turn; the table gives medians
## over the rounds of process CPU time (robust on a shared machine) and the
## ratio linsolve / gateway (above 1: the gateway is faster).
1;

function t = cpu_time (f, calls)
  t0 = cputime ();
  for c = 1:calls
    f ();
  end
  t = (cputime () - t0) / calls;
end

function report (name, fs, labels, calls, rounds)
  t = zeros (rounds, numel (fs));
  for r = 1:rounds
    for k = 1:numel (fs)
      t(r, k) = cpu_time (fs{k}, calls);
    end
  end
  med = median (t, 1);
  printf ("%s\n", name);
  for k = 1:numel (fs)
    printf ("  %-34s %10.1f us", labels{k}, 1e6 * med(k));
    if (k > 1)
      printf ("   linsolve/gateway %.2f", med(1) / med(k));
    end
    printf ("\n");
  end
  for k = 2:numel (fs)
    gatebox_bench_row (strtok (labels{k}, "("), [name " (CPU time)"], med(k), labels{1}, med(1));
  end
end

here = fileparts (mfilename ("fullpath"));
addpath (fullfile (here, "..", "..", "build", "octave"));
addpath (here);  # gatebox_bench_row
printf ("OMP_NUM_THREADS=%s OPENBLAS_NUM_THREADS=%s, Octave %s\nBLAS under linsolve: %s\n",
        getenv ("OMP_NUM_THREADS"), getenv ("OPENBLAS_NUM_THREADS"), version (), version ("-blas"));

rand ("state", 1); randn ("state", 1);
m = 2000;
U = triu (rand (m)) + m * eye (m);           # diagonally dominant: well conditioned
L = U';                                      # the lower problem is the transposed one
b = rand (m, 100);
ut.UT = true; lt.LT = true;
assert (norm (uppersubst (U, b) - linsolve (U, b, ut), Inf) < 1e-12);
assert (norm (backapply (L, b) - linsolve (L, b, lt), Inf) < 1e-12);
report ("upper, T 2000x2000, b 2000x100", {@() linsolve(U, b, ut), @() uppersubst(U, b), @() backapply(U, b)},
        {"linsolve(T, b, struct('UT', true))", "uppersubst(T, b)", "backapply(T, b)"}, 1, 15);
report ("lower, T 2000x2000, b 2000x100", {@() linsolve(L, b, lt), @() lowersubst(L, b), @() backapply(L, b)},
        {"linsolve(T, b, struct('LT', true))", "lowersubst(T, b)", "backapply(T, b)"}, 1, 15);

m = 50;
A = rand (m) / m + diag (1 + rand (m, 1));
U = triu (A); L = tril (A); b = randn (m, 1);
report ("upper, T 50x50, one rhs, per call (1e4 calls)", {@() linsolve(U, b, ut), @() uppersubst(U, b), @() backapply(U, b)},
        {"linsolve(T, b, struct('UT', true))", "uppersubst(T, b)", "backapply(T, b)"}, 1e4, 5);
report ("lower, T 50x50, one rhs, per call (1e4 calls)", {@() linsolve(L, b, lt), @() lowersubst(L, b), @() backapply(L, b)},
        {"linsolve(T, b, struct('LT', true))", "lowersubst(T, b)", "backapply(T, b)"}, 1e4, 5);
