## bench_trialdraw: trialdraw against binornd of octave-statistics on 1e6
## probabilities with n = 100, same inputs, same process, single-threaded.
##   OMP_NUM_THREADS=1 OPENBLAS_NUM_THREADS=1 octave-cli --norc -q bench/octave/bench_trialdraw.m
## binornd takes tens of seconds here, so it runs once; trialdraw's time is
## the median of several runs, as is that of the fastest plain Octave
## formulation found: sum (rand (n, B) < p) over blocks of B columns.
addpath (fullfile (fileparts (mfilename ('fullpath')), '..', '..', 'build', 'octave'));
addpath (fileparts (mfilename ('fullpath')));  # gatebox_bench_row
warning ('off', 'all');
pkg load statistics
rand ('state', 2);
p = rand (1, 1e6);
function r = counts_by_uniforms (p, n)
  r = zeros (size (p));
  block = 10000;
  for j0 = 1:block:numel (p)
    j = j0:min (j0 + block - 1, numel (p));
    r(j) = sum (rand (n, numel (j)) < p(j), 1);
  end
endfunction

reps = 7;
t = zeros (reps, 2);
for i = 1:reps
  clear r r1
  if (mod (i, 2))
    tic; r = trialdraw (p, 100); t(i,1) = toc;
    tic; r1 = counts_by_uniforms (p, 100); t(i,2) = toc;
  else
    tic; r1 = counts_by_uniforms (p, 100); t(i,2) = toc;
    tic; r = trialdraw (p, 100); t(i,1) = toc;
  end
end
clear r
tic; r2 = binornd (100, p); tb = toc;
m = median (t);
printf ('trialdraw 1e6 probabilities, n = 100: trialdraw %.1f ms, uniforms formulation %.1f ms (medians of %d), binornd %.1f ms (1 run)\n', ...
        1e3 * m(1), 1e3 * m(2), reps, 1e3 * tb);
printf ('  binornd/trialdraw %.1f, uniforms/trialdraw %.1f\n', tb / m(1), m(2) / m(1));
gatebox_bench_row ('trialdraw', '1e6 probabilities, n = 100', m(1), 'binornd(n, p) (statistics, 1 run)', tb);
gatebox_bench_row ('trialdraw', '1e6 probabilities, n = 100', m(1), 'sum(rand(n, B) < p) by blocks', m(2));
