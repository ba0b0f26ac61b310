/* cyclebench: the cost of elementary floating-point operations and of the
 * mathematics library's functions, in multiplies ("flops").
 *
 * Method: every timed loop runs N iterations of one body between two clock()
 * readings.  The loop's own cost is estimated from a one-multiply loop (T1)
 * and a two-multiply loop (T2) as L = 2*T1 - T2, and subtracted from every
 * raw time.  M, the corrected time of N multiplies, is the unit of the
 * printed ratios.  All corrected times use the one L measured at the start.
 *
 * The operands are volatile, so each iteration loads them afresh (no constant
 * folding, no hoisting out of the loop); the result is volatile, so each
 * iteration performs the operation and stores it.  Only the C runtime is
 * used (clock, printf, sqrt, exp, log, pow), so the same source builds as a
 * Windows console program with mingw-w64.
 *
 * Exit status: 0 when all ten lines were written; 1 when the processor clock
 * is unavailable (clock() returns -1; nothing is printed) or writing to
 * standard output failed.
 */
#include <math.h>
#include <stdint.h>
#include <stdio.h>
#include <time.h>

/* Writes one line with a ratio.  The ratio is formed from the signed values:
 * a corrected time below zero (an operation cheaper than the loop estimate)
 * gives a small negative ratio, not the huge number its bits would give read
 * as unsigned.  M = 0 gives the runtime library's infinity or NaN. */
int cyclebench_ratio_line(FILE *out, const char *name, int32_t t, int32_t m)
{
  return fprintf(out, "time for %s: \t%d\tflops=%g\n", name, (int)t, (double)t / (double)m);
}

#ifndef CYCLEBENCH_NO_MAIN
enum { N = 40000000 };

static volatile double a = 1.4;
static volatile double b = 2.3;
static volatile double result;

/* Ticks between two clock() readings, narrowed to 32 bits as the program
 * reports them (at a million ticks a second, a loop would have to run for over
 * half an hour to overflow). */
static int32_t ticks(clock_t start, clock_t stop)
{
  return (int32_t)(int64_t)(stop - start);
}

/* One timed loop per body.  The bodies stay in separate functions so that
 * each loop is a plain counted loop around its own load-operate-store. */
#define TIMED_LOOP(fname, body)           \
  static int32_t fname(void)              \
  {                                       \
    clock_t start = clock();              \
    for (int32_t i = 0; i < N; i++) {     \
      body;                               \
    }                                     \
    return ticks(start, clock());         \
  }

TIMED_LOOP(time_multiply, result = a * b)
TIMED_LOOP(time_multiply_twice, result = a * b; result = a * b)
TIMED_LOOP(time_add, result = a + b)
TIMED_LOOP(time_less, result = (a < b) ? 1.0 : 0.0)
TIMED_LOOP(time_equal, result = (a == b) ? 1.0 : 0.0)
TIMED_LOOP(time_sqrt, result = sqrt(a))
TIMED_LOOP(time_exp, result = exp(a))
TIMED_LOOP(time_log, result = log(a))
TIMED_LOOP(time_fake_pow, result = exp(b * log(a)))
TIMED_LOOP(time_pow, result = pow(a, b))

/* Difference of 32-bit tick counts with wrap-around (never undefined). */
static int32_t minus(int32_t x, int32_t y)
{
  return (int32_t)(uint32_t)((uint32_t)x - (uint32_t)y);
}

int main(void)
{
  static const struct {
    const char *name;
    int32_t (*run)(void);
  } ratio_loops[] = {
    {"<", time_less},       {"==", time_equal}, {"sqrt", time_sqrt},
    {"exp", time_exp},      {"log", time_log},  {"fake pow", time_fake_pow},
    {"pow", time_pow},
  };

  if (clock() == (clock_t)-1) {
    fputs("cyclebench: the processor clock is not available\n", stderr);
    return 1;
  }

  int32_t t1 = time_multiply();
  int32_t t2 = time_multiply_twice();
  int32_t loop = minus(minus(t1, t2), minus(0, t1)); /* L = 2*T1 - T2 */
  printf("time for loop: \t%d\n", (int)loop);

  int32_t m = minus(time_multiply(), loop);
  printf("time for multiply: \t%d\n", (int)m);
  printf("time for add: \t%d\n", (int)minus(time_add(), loop));

  for (size_t k = 0; k < sizeof ratio_loops / sizeof ratio_loops[0]; k++) {
    cyclebench_ratio_line(stdout, ratio_loops[k].name, minus(ratio_loops[k].run(), loop), m);
    fflush(stdout);
  }
  return (fflush(stdout) == 0 && !ferror(stdout)) ? 0 : 1;
}
#endif
