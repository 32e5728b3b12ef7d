/* Native helper of the core-clock benchmark: the clock the core gives a
 * working thread, measured outside Wine against CLOCK_MONOTONIC_RAW. A chain
 * of dependent adds (1 cycle each) and one of dependent multiplies (3 cycles
 * each), each at two lengths so that the loop's own cost cancels, in windows
 * of about 2 ms (ten times the program's), the shortest of 9 of each length,
 * after 30 ms of warm-up.
 *   CoreClockReference           one measurement: "<add MHz> <imul MHz>"
 *   CoreClockReference serve     listens on 127.0.0.1, prints its port, then
 *                                answers each request of one client with a
 *                                measurement, until "Q" or the end: "B" (before
 *                                a sample) times the adds last, "A" (after it)
 *                                first, so that they lie closest to it.
 *   CoreClockReference control N N samples at 1 s as the Windows benchmark
 *                                takes them, with the program's method redone
 *                                natively in place of the program: what the
 *                                host's own clock contributes to the errors.
 *   CoreClockReference pairs N   N pairs of the program's method natively,
 *                                back to back, 20 ms between pairs: how often
 *                                the clock moves by more than 2 % between
 *                                two measurements milliseconds apart, with
 *                                the thread preempted during the first or not. */
#define _GNU_SOURCE
#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <math.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/socket.h>
#include <time.h>
#include <unistd.h>

#define CHAIN(name, instruction, count)                                             \
  static __attribute__((noinline)) void name(uint32_t passes) {                     \
    uint32_t value = 1;                                                             \
    const uint32_t operand = 1;                                                     \
    __asm__ __volatile__(".p2align 4\n1:\n\t.rept " #count "\n\t" instruction       \
                         " %[operand], %[value]\n\t.endr\n\tsubl $1, %[passes]\n\t" \
                         "jnz 1b\n"                                                 \
                         : [value] "+r"(value), [passes] "+r"(passes)               \
                         : [operand] "r"(operand)                                   \
                         : "cc");                                                   \
  }
/* Lengths other than the program's 16 and 64, so that no alignment or
 * loop-buffer effect of those is shared. */
CHAIN(ShortAdds, "addl", 24)
CHAIN(LongAdds, "addl", 120)
/* The program's own chain lengths, for the control. */
CHAIN(ProgramShortAdds, "addl", 16)
CHAIN(ProgramLongAdds, "addl", 64)
CHAIN(ShortMultiplies, "imull", 8)
CHAIN(LongMultiplies, "imull", 40)

typedef void (*Chain)(uint32_t);
struct Kind {
  Chain shortChain, longChain;
  double extraCycles; /* per pass: the long chain's extra instructions times their latency */
};
static const struct Kind kAdds = {ShortAdds, LongAdds, 96 * 1.0};
static const struct Kind kMultiplies = {ShortMultiplies, LongMultiplies, 32 * 3.0};

static int64_t Nanoseconds(void) {
  struct timespec now;
  clock_gettime(CLOCK_MONOTONIC_RAW, &now);
  return (int64_t)now.tv_sec * 1000000000 + now.tv_nsec;
}

static int64_t Time(Chain chain, uint32_t passes) {
  const int64_t begin = Nanoseconds();
  chain(passes);
  return Nanoseconds() - begin;
}

enum { kWindowNs = 2000000, kWindows = 9, kWarmUpNs = 30000000 };

static double ClockMhz(const struct Kind* kind) {
  uint32_t passes = 16;
  while (Time(kind->longChain, passes) < kWindowNs) passes *= 2;
  int64_t shortest = INT64_MAX, longest = INT64_MAX;
  for (int window = 0; window < kWindows; ++window) {
    const int64_t s = Time(kind->shortChain, passes);
    const int64_t l = Time(kind->longChain, passes);
    if (s < shortest) shortest = s;
    if (l < longest) longest = l;
  }
  if (longest <= shortest) return 0.0;
  return kind->extraCycles * passes / (double)(longest - shortest) * 1e3;
}

static void Measure(int addsLast, char* answer, size_t size) {
  const int64_t warmUpEnd = Nanoseconds() + kWarmUpNs;
  while (Nanoseconds() < warmUpEnd) LongAdds(1000);
  double adds = 0.0, multiplies = 0.0;
  if (addsLast) {
    multiplies = ClockMhz(&kMultiplies);
    adds = ClockMhz(&kAdds);
  } else {
    adds = ClockMhz(&kAdds);
    multiplies = ClockMhz(&kMultiplies);
  }
  snprintf(answer, size, "%.3f %.3f\n", adds, multiplies);
}

/* The program's method (measure/CoreClock.cpp) natively: rounds of three
 * windows of each length, the long one about 150 us, until two rounds agree
 * within 0.5 % or 20 ms have passed; the last round's figure (the program then
 * takes the median of its last three). */
static double ProgramMethodMhz(int* rounds) {
  static uint32_t passes = 0;
  if (passes == 0) passes = 64;
  const int64_t begin = Nanoseconds();
  double previous = 0.0, current = 0.0;
  int settled = 0;
  if (rounds) *rounds = 0;
  do {
    if (rounds) ++*rounds;
    int64_t shortest = INT64_MAX, longest = INT64_MAX;
    for (int window = 0; window < 3; ++window) {
      const int64_t s = Time(ProgramShortAdds, passes);
      const int64_t l = Time(ProgramLongAdds, passes);
      if (s < shortest) shortest = s;
      if (l < longest) longest = l;
    }
    if (longest >= 75000 && longest <= 300000 && longest > shortest) {
      previous = current;
      current = 48.0 * passes / (double)(longest - shortest) * 1e3;
      settled =
          previous > 0.0 && current / previous - 1.0 <= 0.005 && previous / current - 1.0 <= 0.005;
    }
    passes = (uint32_t)((double)passes * 150000.0 / (double)longest) + 1;
  } while (!settled && Nanoseconds() - begin < 20000000);
  return current;
}

static int CompareDoubles(const void* a, const void* b) {
  const double x = *(const double*)a, y = *(const double*)b;
  return (x > y) - (x < y);
}
static double Median(double* values, int count) {
  qsort(values, (size_t)count, sizeof *values, CompareDoubles);
  return count % 2 ? values[count / 2] : (values[count / 2 - 1] + values[count / 2]) / 2;
}

static int Control(int samples) {
  double errors[1000], held[1000];
  int heldCount = 0;
  double worst = 0.0, worstHeld = 0.0;
  if (samples > 1000) samples = 1000;
  const int64_t start = Nanoseconds();
  char answer[64];
  for (int sample = 0; sample < samples; ++sample) {
    const int64_t due = start + (int64_t)sample * 1000000000;
    while (Nanoseconds() < due) usleep(1000);
    double before = 0.0, after = 0.0, ignored;
    Measure(1, answer, sizeof answer);
    sscanf(answer, "%lf %lf", &before, &ignored);
    const double mhz = ProgramMethodMhz(NULL);
    Measure(0, answer, sizeof answer);
    sscanf(answer, "%lf %lf", &after, &ignored);
    const double error = fabs(mhz / ((before + after) / 2) - 1.0) * 100.0;
    errors[sample] = error;
    if (error > worst) worst = error;
    if (fabs(after / before - 1.0) * 100.0 <= 0.5) {
      held[heldCount++] = error;
      if (error > worstHeld) worstHeld = error;
    }
    printf("%-6d %10.2f %10.2f %10.2f %8.3f\n", sample + 1, before, after, mhz, error);
    fflush(stdout);
  }
  printf(
      "summary [native control] |error| against the add reference: median %.3f %%, worst %.3f %%\n",
      Median(errors, samples), worst);
  printf(
      "summary [native control] the %d samples whose references agree within 0.5 %%: median "
      "|error| %.3f %%, worst %.3f %%\n",
      heldCount, heldCount ? Median(held, heldCount) : 0.0, worstHeld);
  return 0;
}

static int64_t ThreadCpuNs(void) {
  struct timespec now;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return (int64_t)now.tv_sec * 1000000000 + now.tv_nsec;
}

static int Pairs(int pairs) {
  int count[2] = {0, 0}, moved[2] = {0, 0};
  for (int pair = 0; pair < pairs; ++pair) {
    int firstRounds = 0, secondRounds = 0;
    const int64_t wall = Nanoseconds(), cpu = ThreadCpuNs();
    const double first = ProgramMethodMhz(&firstRounds);
    /* Preempted: the call took half as long again in wall time as in CPU time. */
    const int preempted = (Nanoseconds() - wall) * 2 > (ThreadCpuNs() - cpu) * 3;
    const double second = ProgramMethodMhz(&secondRounds);
    const int apart = fabs(second / first - 1.0) > 0.02;
    ++count[preempted];
    moved[preempted] += apart;
    printf("%8.2f %3d %8.2f %3d%s%s\n", first, firstRounds, second, secondRounds,
           preempted ? " preempted" : "", apart ? " apart" : "");
    usleep(20000);
  }
  printf("summary [pairs] more than 2 %% apart: %d of %d pairs not preempted, %d of %d preempted\n",
         moved[0], count[0], moved[1], count[1]);
  return 0;
}

static int Serve(void) {
  const int listener = socket(AF_INET, SOCK_STREAM, 0);
  struct sockaddr_in address;
  memset(&address, 0, sizeof address);
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  if (listener < 0 || bind(listener, (struct sockaddr*)&address, sizeof address) != 0 ||
      listen(listener, 1) != 0 || getsockname(listener, (struct sockaddr*)&address, &length) != 0) {
    perror("CoreClockReference");
    return 1;
  }
  printf("%d\n", ntohs(address.sin_port));
  fflush(stdout);
  const int client = accept(listener, NULL, NULL);
  close(listener);
  if (client < 0) return 1;
  const int one = 1;
  setsockopt(client, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
  char request;
  while (read(client, &request, 1) == 1 && request != 'Q') {
    if (request != 'B' && request != 'A') continue;
    char answer[64];
    Measure(request == 'B', answer, sizeof answer);
    if (write(client, answer, strlen(answer)) < 0) break;
  }
  close(client);
  return 0;
}

int main(int argc, char** argv) {
  if (argc > 1 && strcmp(argv[1], "serve") == 0) return Serve();
  if (argc > 2 && strcmp(argv[1], "control") == 0) return Control(atoi(argv[2]));
  if (argc > 2 && strcmp(argv[1], "pairs") == 0) return Pairs(atoi(argv[2]));
  char answer[64];
  Measure(0, answer, sizeof answer);
  fputs(answer, stdout);
  return 0;
}
