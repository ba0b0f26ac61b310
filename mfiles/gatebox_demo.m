function gatebox_demo ()
  %GATEBOX_DEMO  Show what every gatebox function does and how fast it is.
  %   GATEBOX_DEMO runs each function on a small example, explains the result
  %   and times it against the nearest GNU Octave built-in on the same
  %   inputs (medians of a few runs; above 1x means gatebox is faster). It
  %   takes well under a minute. Functions that are not built are skipped.
  %
  %   Example:
  %      addpath('build/octave'); gatebox_demo
  %
  %   See also BUILD_GATEBOX, CONTENTS.
  printf ('gatebox demo: every function, with timings against Octave built-ins\n');
  printf ('(medians of repeated runs on the same inputs; ratio = built-in time / gatebox time)\n');
  printf ('Each speed line names its workload: a short run, smaller than the workloads of\n');
  printf ('BENCHMARKS.md (scripts/bench.sh), so its figures are of the same kind, not the same.\n');
  printf ('Octave %s; the built-ins'' BLAS: %s; OPENBLAS_NUM_THREADS=%s\n\n', version (), ...
          blas_name (), getenv ('OPENBLAS_NUM_THREADS'));
  rand ('seed', 42);  % the peers' inputs; gatebox draws come from its own streams
  sections = {@demo_trigamma, 'trigamma'; @demo_gamma, 'gamma';
              @demo_shapedraw, 'shapedraw'; @demo_trialdraw, 'trialdraw';
              @demo_drawcounts, 'drawcounts'; @demo_substitution, 'uppersubst';
              @demo_backapply, 'backapply'; @demo_tilearray, 'tilearray';
              @demo_axisfold, 'axisfold'; @demo_tallybins, 'tallybins';
              @demo_aliascheck, 'aliascheck'; @demo_opcharge, 'opcharge'};
  for k = 1:rows (sections)
    if (exist (sections{k, 2}) == 3)
      sections{k, 1} ();
      printf ('\n');
    else
      printf ('%s: not built (run build_gatebox or the CMake build)\n\n', sections{k, 2});
    end
  end
end

function t = median_time (f, reps)
  % Median wall time of REPS runs of F, after one untimed warm-up run.
  f ();
  times = zeros (1, reps);
  for k = 1:reps
    tic; f (); times(k) = toc;
  end
  t = median (times);
end

function speed (what, gb_name, f_gb, peer_name, f_peer, reps)
  % One speed line: gatebox against its peer on the same work.
  t_gb = median_time (f_gb, reps);
  t_peer = median_time (f_peer, reps);
  printf ('  speed, %s: %s %s, %s %s: %.1fx\n', what, gb_name, ms (t_gb), ...
          peer_name, ms (t_peer), t_peer / t_gb);
end

function s = blas_name ()
  % The BLAS library Octave loaded, with its version where it says one.
  v = version ('-blas');
  t = regexp (v, 'config: (\S+ [0-9.]+)', 'tokens', 'once');
  if (isempty (t))
    s = strtrim (strtok (v, '('));
  else
    s = t{1};
  end
  if (isempty (s))
    s = 'unknown';
  end
end

function s = ms (t)
  if (t < 1e-3)
    s = sprintf ('%.2f us', 1e6 * t);
  else
    s = sprintf ('%.1f ms', 1e3 * t);
  end
end

function demo_trigamma ()
  printf ('trigamma(x): psi''(x), the second derivative of log(gamma(x)), element by element.\n');
  x = [0.5 1 2 10];
  printf ('  trigamma([0.5 1 2 10]) = %s\n', mat2str (trigamma (x), 8));
  printf ('  psi(1, [0.5 1 2 10])   = %s\n', mat2str (psi (1, x), 8));
  x = 100 * rand (1, 1e6);
  speed ('1e6 values in (0, 100)', 'trigamma(x)', @() trigamma (x), 'psi(1, x)', @() psi (1, x), 5);
end

function demo_gamma ()
  printf ('gamma(x): the gamma function; whole arguments up to 23 are exact factorials.\n');
  printf ('While on the path it stands in for the built-in gamma, still reachable as builtin(''gamma'', x),\n');
  printf ('which also answers every input but a full real double array:\n');
  printf ('  gamma(single(5)) = %s (class %s), factorial(int8(5)) = %s\n', ...
          mat2str (gamma (single (5))), class (gamma (single (5))), mat2str (factorial (int8 (5))));
  x = [5 0.5 -0.5 -200.5];
  printf ('  gamma([5 0.5 -0.5 -200.5])            = %s\n', mat2str (gamma (x), 10));
  printf ('  builtin(''gamma'', [5 0.5 -0.5 -200.5]) = %s\n', mat2str (builtin ('gamma', x), 10));
  printf ('  gamma(23) = %.0f: 22! exactly (builtin gamma(23) is off by %g ulp)\n', ...
          gamma (23), abs (builtin ('gamma', 23) - gamma (23)) / eps (gamma (23)));
  x = 340 * rand (1, 1e6) - 170;
  speed ('1e6 values in (-170, 170)', 'gamma(x)', @() gamma (x), ...
         'builtin gamma', @() builtin ('gamma', x), 5);
end

function demo_shapedraw ()
  printf ('shapedraw(a): gamma random numbers with shapes a and scale 1, from a fixed stream\n');
  printf ('(the same numbers after every fresh start of Octave; the stream continues across calls).\n');
  x = shapedraw (2.5 * ones (1, 1e5));
  printf ('  x = shapedraw(2.5 * ones(1, 1e5)): mean %.4f, variance %.4f (both 2.5 in theory)\n', ...
          mean (x), var (x));
  a = 0.1 + 9.9 * rand (1, 1e6);
  speed ('1e6 shapes in (0.1, 10)', 'shapedraw(a)', @() shapedraw (a), 'randg(a)', @() randg (a), 5);
end

function demo_trialdraw ()
  printf ('trialdraw(p, n): binomial counts, successes in n trials with probability p(i) each.\n');
  r = trialdraw (0.3 * ones (1, 1e5), 1000);
  printf ('  r = trialdraw(0.3 * ones(1, 1e5), 1000): mean %.3f (300 in theory), variance %.2f (210)\n', ...
          mean (r), var (r));
  p = rand (1, 1e4);
  speed ('1e4 counts, n = 100', 'trialdraw(p, 100)', @() trialdraw (p, 100), ...
         'sum(rand(100, N) < p)', @() sum (rand (100, numel (p)) < p), 5);
end

function demo_drawcounts ()
  printf ('drawcounts(P, n): one multinomial count vector per column of probabilities P.\n');
  h = drawcounts ([0.2 0.5; 0.3 0.25; 0.5 0.25], 100);
  printf ('  drawcounts([0.2 0.5; 0.3 0.25; 0.5 0.25], 100) = %s (columns sum to 100)\n', mat2str (h));
  P = rand (10, 1e4);
  P = P ./ sum (P);
  speed ('1e4 columns of 10 categories, n = 100', 'drawcounts(P, 100)', @() drawcounts (P, 100), ...
         'uniforms against cumsum(P)', @() counts_by_uniforms (P, 100), 3);
end

function h = counts_by_uniforms (P, n)
  % Multinomial counts in plain Octave: n uniforms per column, counted below
  % each cumulative probability.
  c = cumsum (P);
  c(end, :) = Inf;
  u = rand (n, columns (P));
  below = zeros (rows (P), columns (P));
  for k = 1:rows (P)
    below(k, :) = sum (u < c(k, :), 1);
  end
  h = diff ([zeros(1, columns (P)); below]);
end

function demo_substitution ()
  printf ('uppersubst(T, b), lowersubst(T, b): solve T*x = b reading only the upper (lower)\n');
  printf ('triangle of T; the other triangle may hold anything.\n');
  T = [2 NaN; 1 4];
  printf ('  lowersubst([2 NaN; 1 4], [4; 9]) = %s (the NaN is never read)\n', ...
          mat2str (lowersubst (T, [4; 9])));
  printf ('  uppersubst([2 1; 0 4], [4; 8])   = %s\n', mat2str (uppersubst ([2 1; 0 4], [4; 8])));
  m = 500;
  U = triu (rand (m) / m + diag (1 + rand (m, 1)));
  b = rand (m, 50);
  opts.UT = true;
  speed ('T 500x500, 50 right-hand sides', 'uppersubst(T, b)', @() uppersubst (U, b), ...
         'linsolve(T, b, UT)', @() linsolve (U, b, opts), 5);
  L = U';
  opts = struct ('LT', true);
  speed ('T 500x500, 50 right-hand sides', 'lowersubst(T, b)', @() lowersubst (L, b), ...
         'linsolve(T, b, LT)', @() linsolve (L, b, opts), 5);
end

function demo_backapply ()
  printf ('backapply(T, b): inv(T)*b for a triangular T; T(2,1) ~= 0 selects the lower triangle.\n');
  printf ('  backapply([2 0; 1 4], [4; 8]) = %s (lower)\n', mat2str (backapply ([2 0; 1 4], [4; 8])));
  printf ('  backapply([2 1; 0 4], [4; 8]) = %s (upper)\n', mat2str (backapply ([2 1; 0 4], [4; 8])));
  m = 500;
  L = tril (rand (m) / m + diag (1 + rand (m, 1)));
  b = rand (m, 50);
  speed ('lower T 500x500, 50 right-hand sides', 'backapply(T, b)', @() backapply (L, b), ...
         'T \ b', @() L \ b, 5);
end

function demo_tilearray ()
  printf ('tilearray(A, [M N ...]): copies of A side by side along every dimension (a fast repmat),\n');
  printf ('for any numeric class.\n');
  printf ('  tilearray([1 2], [2 2]) = %s\n', mat2str (tilearray ([1 2], [2 2])));
  B = tilearray (int8 ([1 2]), 2, 1, 2);
  printf ('  tilearray(int8([1 2]), 2, 1, 2) has size %s, class %s\n', mat2str (size (B)), class (B));
  A = rand (500);
  speed ('500x500 tiled [3 4] (24 MB result)', 'tilearray(A, [3 4])', @() tilearray (A, [3 4]), ...
         'repmat(A, [3 4])', @() repmat (A, [3 4]), 5);
  printf ('  (both are bound by fresh memory for the result; Octave 7.3 copies an array a MEX file\n');
  printf ('  returns unless its interpreter made it, so tilearray has the interpreter''s zeros make\n');
  printf ('  it, one write more than repmat; BENCHMARKS.md has the gateway''s own time)\n');
end

function demo_axisfold ()
  printf ('axisfold(A, dims): sum A over the listed dimensions and remove them;\n');
  printf ('the additions are charged to the global flop counter flopcount.\n');
  global flopcount
  flopcount = 0;
  A = reshape (1:24, 2, 3, 4);
  printf ('  axisfold(reshape(1:24, 2, 3, 4), [1 3]) = %s, flopcount now %d\n', ...
          mat2str (axisfold (A, [1 3])), flopcount(1));
  A = rand (100, 100, 100);
  speed ('100x100x100 over dimensions 1 and 3', 'axisfold(A, [1 3])', @() axisfold (A, [1 3]), ...
         'sum(sum(A, 1), 3)', @() sum (sum (A, 1), 3), 5);
  clear -global flopcount
end

function demo_tallybins ()
  printf ('tallybins(x, n): integer histogram, how many elements fall into each bin 1..n.\n');
  printf ('  tallybins([1 2 2 3 3 3], 5) = %s\n', mat2str (tallybins ([1 2 2 3 3 3], 5)));
  % x + 0 is a fresh array each time: Octave caches the index conversion of
  % an array it has indexed with, which would favour accumarray on reruns.
  x = floor (1000 * rand (1e6, 1)) + 1;
  speed ('1e6 integers in 1..1000, fresh arrays', 'tallybins(x, 1000)', @() tallybins (x + 0, 1000), ...
         'accumarray(x, 1)', @() accumarray (x + 0, 1, [1000 1]), 5);
end

function demo_aliascheck ()
  printf ('aliascheck(a, b): 1 when a and b share their data storage (Octave copies on write).\n');
  a = rand (1000);
  b = a;
  printf ('  b = a: aliascheck(a, b) = %d;', aliascheck (a, b));
  b(1) = b(1);
  printf (' after b(1) = b(1): %d\n', aliascheck (a, b));
  c = a;
  speed ('1000x1000 copies', 'aliascheck(a, c)', @() aliascheck (a, c), ...
         'isequal(a, c)', @() isequal (a, c), 9);
end

function demo_opcharge ()
  printf ('opcharge(n): add n to the global flop counter flopcount (if it exists).\n');
  global flopcount
  flopcount = 0;
  opcharge (5); opcharge (7.9);
  printf ('  flopcount = 0; opcharge(5); opcharge(7.9); flopcount = %d\n', flopcount(1));
  speed ('1e4 charges', 'opcharge(3)', @() charge_loop (1e4), ...
         'flopcount += 3', @() add_loop (1e4), 5);
  clear -global flopcount
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
