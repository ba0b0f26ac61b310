"""The numpy/scipy benchmark helpers: the row format the report reads, and
the timing policy (warm-up, clock, time per call).  Standard library only;
run with any python3:  python3 tests/python/gatebox_bench_test.py"""
import contextlib
import io
import os
import sys
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "bench", "python"))
import gatebox_bench  # noqa: E402


class FakeClocks:
    """Wall and CPU clocks that advance by fixed steps at every reading, so
    the helper's arithmetic and its choice of clock show in the result."""

    def __init__(self):
        self.wall = 0.0
        self.cpu = 0.0

    def perf_counter(self):
        self.wall += 10.0
        return self.wall

    def process_time(self):
        self.cpu += 1.0
        return self.cpu


class MedianTimeTest(unittest.TestCase):
    def setUp(self):
        self.clocks = FakeClocks()
        self.saved = (gatebox_bench.time.perf_counter, gatebox_bench.time.process_time)
        gatebox_bench.time.perf_counter = self.clocks.perf_counter
        gatebox_bench.time.process_time = self.clocks.process_time
        self.count = 0

    def tearDown(self):
        gatebox_bench.time.perf_counter, gatebox_bench.time.process_time = self.saved

    def call(self):
        self.count += 1
        return self.count

    def test_calls_and_clock(self):
        # (reps, calls, cpu): calls made = warm-up + reps * calls; each round
        # reads its clock twice, so the time per call is one step / calls
        for reps, calls, cpu, per_call in [(1, 1, False, 10.0), (5, 1, True, 1.0),
                                           (3, 4, False, 2.5), (7, 10, True, 0.1)]:
            self.count = 0
            self.clocks.wall = self.clocks.cpu = 0.0
            t = gatebox_bench.median_time(self.call, reps, cpu=cpu, calls=calls)
            self.assertEqual(self.count, 1 + reps * calls)
            self.assertAlmostEqual(t, per_call)
            # the other clock is never read
            self.assertEqual(self.clocks.wall if cpu else self.clocks.cpu, 0.0)

    def test_median_not_mean(self):
        # one slow round among five: the median ignores it
        steps = iter([0, 1, 1, 2, 2, 3, 3, 103, 103, 104])
        gatebox_bench.time.perf_counter = lambda: next(steps)
        self.assertEqual(gatebox_bench.median_time(self.call, 5), 1)


class PeerRowTest(unittest.TestCase):
    def test_format(self):
        # five tab-separated fields, "gatebox-peer" first; tabs and newlines
        # inside a field become spaces, so the line always splits into five
        for args, line in [
                (("trigamma", "1e6 values", "scipy.special.polygamma(1, x)", 0.000123456789),
                 "gatebox-peer\ttrigamma\t1e6 values\tscipy.special.polygamma(1, x)\t0.000123457\n"),
                (("a\tb", "two\nlines", "p\tq\nr", 12.5),
                 "gatebox-peer\ta b\ttwo lines\tp q r\t12.5\n")]:
            out = io.StringIO()
            with contextlib.redirect_stdout(out):
                gatebox_bench.peer_row(*args)
            self.assertEqual(out.getvalue(), line)
            self.assertEqual(len(out.getvalue().rstrip("\n").split("\t")), 5)


if __name__ == "__main__":
    unittest.main()
