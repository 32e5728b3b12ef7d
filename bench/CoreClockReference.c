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
 *                                first, so that they lie closest to it. */
#define _GNU_SOURCE
#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <stdint.h>
#include <stdio.h>
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
  char answer[64];
  Measure(0, answer, sizeof answer);
  fputs(answer, stdout);
  return 0;
}
