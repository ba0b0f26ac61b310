## bench_drawcounts: drawcounts against mnrnd of octave-statistics and against
## the fastest Octave formulation found (n uniforms per column compared with
## the cumulative probabilities, in blocks of columns) on a 10 x 1e5
## probability matrix with n = 1000; same inputs, same process, single-threaded.
##   OMP_NUM_THREADS=1 OPENBLAS_NUM_THREADS=1 octave-cli --norc -q bench/octave/bench_drawcounts.m
## mnrnd takes over a minute here, so it runs once.
addpath (fullfile (fileparts (mfilename ('fullpath')), '..', '..', 'build', 'octave'));
addpath (fileparts (mfilename ('fullpath')));  # gatebox_bench_row
warning ('off', 'all');
pkg load statistics
rand ('state', 3);
P = rand (10, 1e5);
P = P ./ sum (P);
n = 1000;

function h = counts_by_uniforms (P, n)
  ## h(k, j) = #{uniforms of column j in [c(k-1), c(k))}, c the cumulative P(:, j)
  [m, cols] = size (P);
  h = zeros (m, cols);
  c = cumsum (P);
  c(end, :) = Inf;
  block = 2000;
  for j0 = 1:block:cols
    j = j0:min (j0 + block - 1, cols);
    u = rand (n, numel (j));
    below = zeros (m, numel (j));
    for k = 1:m
      below(k, :) = sum (u < c(k, j), 1);
    end
    h(:, j) = diff ([zeros(1, numel (j)); below]);
  end
endfunction

reps = 5;
t = zeros (reps, 2);
for i = 1:reps
  clear h h2
  if (mod (i, 2))
    tic; h = drawcounts (P, n); t(i,1) = toc;
    tic; h2 = counts_by_uniforms (P, n); t(i,2) = toc;
  else
    tic; h2 = counts_by_uniforms (P, n); t(i,2) = toc;
    tic; h = drawcounts (P, n); t(i,1) = toc;
  end
end
assert (all (sum (h2) == n));
tic; h3 = mnrnd (n, P'); tm = toc;
m = median (t);
printf ('drawcounts 10 x 1e5, n = 1000: drawcounts %.1f ms, uniforms formulation %.1f ms (medians of %d), mnrnd %.1f ms (1 run)\n', ...
        1e3 * m(1), 1e3 * m(2), reps, 1e3 * tm);
printf ('  uniforms/drawcounts %.1f, mnrnd/drawcounts %.1f\n', m(2) / m(1), tm / m(1));
gatebox_bench_row ('drawcounts', '10 x 1e5 probabilities, n = 1000', m(1), 'mnrnd(n, P'') (statistics, 1 run)', tm);
gatebox_bench_row ('drawcounts', '10 x 1e5 probabilities, n = 1000', m(1), 'uniforms against cumsum(P) by blocks', m(2));
