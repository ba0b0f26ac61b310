## bench_tilearray (reps)
## tilearray in GNU Octave against repmat and against the host floor
## (hostfloor: a gateway that only creates and returns an array of the
## output's size the host's way; writefloor: one that makes it as tilearray
## does and writes it once), on the same inputs in one process; medians of `reps`
## rounds, the contenders taking turns within each round; the small output
## (below 20 KB, where a call's fixed cost dominates) per call over 1e4
## calls.  Also the same gateway built without huge-page advice (copied to
## tilearray_nohuge).
## Run from the top of the tree after building, single-threaded:
##   OMP_NUM_THREADS=1 OPENBLAS_NUM_THREADS=1 octave-cli --norc --quiet \
##     --eval "addpath('build/octave', 'build/octave/bench', 'bench/octave'); bench_tilearray (7)"
function bench_tilearray (reps = 7)
  nohuge_dir = tempname ();
  mkdir (nohuge_dir);
  copyfile (fullfile (fileparts (which ("hostfloor")), "nohuge", "tilearray.mex"),
            fullfile (nohuge_dir, "tilearray_nohuge.mex"));
  addpath (nohuge_dir);
  unwind_protect
    rand ("seed", 1);
    ## label, A, replication counts, calls timed in a row (a small output
    ## is timed per call over many calls)
    work = {"1000x1000 [3 4]", rand(1000), [3 4], 1;
            "10x10 [300 300]", rand(10), [300 300], 1;
            "1e6x1 [1 1 8]", rand(1e6, 1), [1 1 8], 1;
            "10x10 [3 4] (9.6 KB), per call (1e4 calls)", rand(10), [3 4], 1e4};
    names = {"tilearray", "repmat", "hostfloor", "tilearray_nohuge", "writefloor"};
    printf ("%-17s %11s %11s %11s %11s %11s %9s %9s %9s %9s\n", "workload", names{:},
            "t/repmat", "t/floor", "nohuge/t", "wf/repmat");
    for w = 1:rows (work)
      A = work{w, 2};
      c = work{w, 3};
      calls = work{w, 4};
      outdims = size (A);
      outdims(end+1:numel (c)) = 1;
      outdims(1:numel (c)) .*= c;
      fns = {@() tilearray(A, c), @() repmat(A, c), @() hostfloor(A, outdims), ...
             @() tilearray_nohuge(A, c), @() writefloor(A, outdims)};
      assert (isequal (tilearray (A, c), repmat (A, c)));
      t = zeros (reps, numel (fns));
      for r = 1:reps
        for k = circshift (1:numel (fns), [0, r])
          f = fns{k};
          if (calls == 1)
            tic (); B = f (); t(r, k) = toc ();
          else
            tic ();
            for i = 1:calls
              B = f ();
            endfor
            t(r, k) = toc () / calls;
          endif
          assert (isequal (size (B), outdims));
          clear B;
        endfor
      endfor
      m = median (t, 1);
      printf ("%-17s %9.4gms %9.4gms %9.4gms %9.4gms %9.4gms %9.2f %9.2f %9.2f %9.2f\n", work{w, 1}, 1e3 * m,
              m(1) / m(2), m(1) / m(3), m(4) / m(1), m(5) / m(2));
      gatebox_bench_row ("tilearray", [work{w, 1} " (Octave copies the result)"], m(1), "repmat(A, c)", m(2));
    endfor
  unwind_protect_cleanup
    rmpath (nohuge_dir);
    confirm_recursive_rmdir (false, "local");
    rmdir (nohuge_dir, "s");
  end_unwind_protect
endfunction
