function gatebox_bench_row (fn, workload, t_gatebox, peer, t_peer)
  %GATEBOX_BENCH_ROW  Print one machine-readable benchmark row.
  %   GATEBOX_BENCH_ROW(FN, WORKLOAD, T_GATEBOX, PEER, T_PEER) prints the
  %   gatebox function FN's median time T_GATEBOX on WORKLOAD and its peer's
  %   (the built-in PEER, called as written there) median time T_PEER, both
  %   in seconds, as one tab-separated line starting "gatebox-bench";
  %   scripts/bench.sh collects these lines from every bench_<name>.m into
  %   BENCHMARKS.md and its plot.  The ratio is T_PEER / T_GATEBOX: above 1
  %   gatebox is faster.
  clean = @(s) strrep (strrep (s, "\t", ' '), "\n", ' ');
  printf ("gatebox-bench\t%s\t%s\t%.6g\t%s\t%.6g\t%.4g\n", clean (fn), clean (workload), ...
          t_gatebox, clean (peer), t_peer, t_peer / t_gatebox);
end
