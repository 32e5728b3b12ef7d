/* Native helper of the measurement benchmark: the TSC frequency against the
 * kernel's CLOCK_MONOTONIC_RAW over a given number of seconds, independent of
 * Wine and of the program's own calibration. Prints Hz on one line. */
#define _GNU_SOURCE
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <time.h>
#include <x86intrin.h>

static double Seconds(const struct timespec* t) { return t->tv_sec + t->tv_nsec * 1e-9; }

/* The TSC read closest to a clock reading: the pair with the shortest gap. */
static void Pair(struct timespec* clock, uint64_t* tsc) {
  uint64_t best = UINT64_MAX;
  for (int i = 0; i < 50; ++i) {
    const uint64_t before = __rdtsc();
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC_RAW, &now);
    const uint64_t after = __rdtsc();
    if (after - before < best) {
      best = after - before;
      *clock = now;
      *tsc = before + (after - before) / 2;
    }
  }
}

int main(int argc, char** argv) {
  const double seconds = argc > 1 ? atof(argv[1]) : 10.0;
  struct timespec c0, c1;
  uint64_t t0, t1;
  Pair(&c0, &t0);
  struct timespec pause = {(time_t)seconds, (long)((seconds - (time_t)seconds) * 1e9)};
  while (nanosleep(&pause, &pause) != 0) {
  }
  Pair(&c1, &t1);
  printf("%.1f\n", (double)(t1 - t0) / (Seconds(&c1) - Seconds(&c0)));
  return 0;
}
