## bench_shapedraw: shapedraw against Octave's randg on 1e6 shapes uniform in
## (0.1, 10) and on 1e6 shapes all 5, same inputs, same process,
## single-threaded.  Run from the repository root:
##   OMP_NUM_THREADS=1 OPENBLAS_NUM_THREADS=1 octave-cli --norc -q bench/octave/bench_shapedraw.m
## randg runs in its default mode (Mersenne Twister, Marsaglia-Tsang) and in
## the legacy mode that randg ('seed', s) selects (the old ranlib generators).
## The order of the two calls alternates and the outputs are cleared between
## runs, so neither side inherits the other's freed memory.
addpath (fullfile (fileparts (mfilename ('fullpath')), '..', '..', 'build', 'octave'));
addpath (fileparts (mfilename ('fullpath')));  # gatebox_bench_row
rand ('state', 1);
work = {'1e6 shapes uniform in (0.1, 10)', 0.1 + 9.9 * rand(1, 1e6);
        '1e6 shapes all 5', 5 * ones(1, 1e6)};
reps = 9;
for w = 1:rows (work)
  a = work{w, 2};
  for mode = {'default', 'legacy seed'}
    if (strcmp (mode{1}, 'legacy seed'))
      randg ('seed', 1);
    else
      randg ('state', 1);              # back to the default generator
    end
    t = zeros (reps, 2);
    for i = 1:reps
      clear x y
      if (mod (i, 2))
        tic; x = shapedraw (a); t(i,1) = toc; clear x
        tic; y = randg (a); t(i,2) = toc;
      else
        tic; y = randg (a); t(i,2) = toc; clear y
        tic; x = shapedraw (a); t(i,1) = toc;
      end
    end
    m = median (t);
    printf ('shapedraw, %s: shapedraw %.1f ms, randg (%s) %.1f ms, randg/shapedraw %.2f (medians of %d)\n', ...
            work{w, 1}, 1e3 * m(1), mode{1}, 1e3 * m(2), m(2) / m(1), reps);
    peer = 'randg(a)';
    if (strcmp (mode{1}, 'legacy seed'))
      peer = 'randg(a), legacy generator';
    end
    gatebox_bench_row ('shapedraw', work{w, 1}, m(1), peer, m(2));
  end
end
