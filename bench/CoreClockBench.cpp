// Benchmark of the core-clock measurement and of the calibration's MM window,
// run under Wine on CPU 0:
//   CoreClockBench accuracy <port> <samples> <label>
//     a sample a second: the native reference (bench/CoreClockReference.c,
//     served on 127.0.0.1:<port>) right before and right after each
//     MeasureCoreClock, and what the call cost.
//   CoreClockBench calibrate <count> <label>
//     the calibration `count` times: its tscPerMs * 1000 against its tscHz,
//     in ppm.
#include <winsock2.h>
#include <windows.h>
#include <mmsystem.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "measure/ClockCalibration.h"
#include "measure/CoreClock.h"
#include "measure/Processor.h"
#include "bench/BenchFigures.h"

namespace {
double CounterMs(int64_t ticks) {
  static const double frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return static_cast<double>(f.QuadPart);
  }();
  return static_cast<double>(ticks) * 1000.0 / frequency;
}

double ThreadTimesMs() {
  FILETIME created, exited, kernel, user;
  if (!GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user)) return -1.0;
  const auto ms = [](const FILETIME& t) {
    return static_cast<double>((static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime) /
           1e4;
  };
  return ms(kernel) + ms(user);
}

std::vector<double> Magnitudes(std::vector<double> values) {
  for (double& value : values) value = std::fabs(value);
  return values;
}

class Socket {
 public:
  explicit Socket(SOCKET socket) : socket_(socket) {}
  ~Socket() {
    if (socket_ != INVALID_SOCKET) closesocket(socket_);
  }
  Socket(const Socket&) = delete;
  Socket& operator=(const Socket&) = delete;
  SOCKET get() const { return socket_; }

 private:
  SOCKET socket_;
};

struct Reference {
  double addMhz = 0.0, multiplyMhz = 0.0;
};

// One measurement of the native reference; false when it did not answer.
// `request` "B" before a sample, "A" after it.
bool AskReference(SOCKET server, const char* request, Reference* reference) {
  if (send(server, request, 1, 0) != 1) return false;
  std::string line;
  char c;
  while (recv(server, &c, 1, 0) == 1 && c != '\n') line += c;
  return std::sscanf(line.c_str(), "%lf %lf", &reference->addMhz, &reference->multiplyMhz) == 2;
}

// References this close before and after a sample say the host's clock held.
constexpr double kHeldPercent = 0.5;

double Percent(double mhz, double reference) { return (mhz / reference - 1.0) * 100.0; }

// How far a figure lies outside the range of the two references (0 inside):
// what remains when the host's own clock moved between them.
double OutsidePercent(double mhz, double before, double after) {
  const double low = std::min(before, after), high = std::max(before, after);
  if (mhz < low) return Percent(mhz, low);
  if (mhz > high) return Percent(mhz, high);
  return 0.0;
}

int Accuracy(int port, int samples, const char* label) {
  WSADATA winsock;
  if (WSAStartup(MAKEWORD(2, 2), &winsock) != 0) return 1;
  Socket server(socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<u_short>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (server.get() == INVALID_SOCKET ||
      connect(server.get(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    std::fprintf(stderr, "no reference on port %d\n", port);
    return 1;
  }
  SetThreadAffinityMask(GetCurrentThread(), 1);
  const AddLatency latency = ProcessorAddLatency();
  std::printf("[%s] add latency %.1f cycles (%s)\n", label, latency.cycles,
              latency.known ? "from the table" : "default");
  std::printf("%-6s %10s %10s %10s %8s %8s %8s %9s %9s %8s %6s %6s\n", "sample", "ref before",
              "ref after", "core MHz", "err %", "outside", "imul %", "wall ms", "cpu ms", "GTT ms",
              "rounds", "passes");

  std::vector<double> errors, outsides, multiplyErrors, walls, cpus, refDrifts, heldErrors;
  const int64_t start = ReadPerformanceCounter();
  for (int sample = 0; sample < samples; ++sample) {
    const double dueMs = 1000.0 * sample;
    const double nowMs = CounterMs(ReadPerformanceCounter() - start);
    if (dueMs > nowMs) Sleep(static_cast<DWORD>(dueMs - nowMs));

    Reference before, after;
    if (!AskReference(server.get(), "B", &before)) return 1;
    double mhz = 0.0;
    CoreClockTrace trace;
    const double threadTimesBefore = ThreadTimesMs();
    const int64_t cpuBefore = HostThreadCpuNs();
    const int64_t begin = ReadPerformanceCounter();
    const bool measured = MeasureCoreClock(latency.cycles, &mhz, &trace);
    const int64_t end = ReadPerformanceCounter();
    const int64_t cpuAfter = HostThreadCpuNs();
    const double threadTimesAfter = ThreadTimesMs();
    if (!AskReference(server.get(), "A", &after)) return 1;

    const double addReference = (before.addMhz + after.addMhz) / 2;
    const double multiplyReference = (before.multiplyMhz + after.multiplyMhz) / 2;
    const double wall = CounterMs(end - begin);
    const double cpu = cpuBefore >= 0 && cpuAfter >= 0 ? (cpuAfter - cpuBefore) / 1e6 : -1.0;
    if (!measured) {
      std::printf("%-6d no figure\n", sample + 1);
      continue;
    }
    errors.push_back(Percent(mhz, addReference));
    outsides.push_back(OutsidePercent(mhz, before.addMhz, after.addMhz));
    multiplyErrors.push_back(Percent(mhz, multiplyReference));
    refDrifts.push_back(Percent(after.addMhz, before.addMhz));
    if (std::fabs(refDrifts.back()) <= kHeldPercent) heldErrors.push_back(errors.back());
    walls.push_back(wall);
    cpus.push_back(cpu);
    std::printf("%-6d %10.2f %10.2f %10.2f %+8.3f %+8.3f %+8.3f %9.3f %9.3f %8.1f %6u %6u\n",
                sample + 1, before.addMhz, after.addMhz, mhz, errors.back(), outsides.back(),
                multiplyErrors.back(), wall, cpu, threadTimesAfter - threadTimesBefore,
                trace.rounds, trace.passes);
    std::fflush(stdout);
  }
  send(server.get(), "Q", 1, 0);
  WSACleanup();

  const Spread error = SpreadOf(errors), errorSize = SpreadOf(Magnitudes(errors));
  const Spread outside = SpreadOf(Magnitudes(outsides));
  const Spread held = SpreadOf(Magnitudes(heldErrors));
  const Spread multiplyError = SpreadOf(Magnitudes(multiplyErrors));
  const Spread drift = SpreadOf(Magnitudes(refDrifts));
  const Spread wall = SpreadOf(walls), cpu = SpreadOf(cpus);
  std::printf("summary [%s] samples %zu of %d\n", label, errors.size(), samples);
  std::printf(
      "summary [%s] error against the add reference: median %+.3f %%, median |error| %.3f %%, "
      "worst %+.3f %%\n",
      label, error.median, errorSize.median, error.worst);
  std::printf("summary [%s] outside the two add references: median %.3f %%, worst %.3f %%\n", label,
              outside.median, outside.worst);
  std::printf(
      "summary [%s] the %zu samples whose references agree within %.1f %%: median |error| %.3f "
      "%%, worst %.3f %%\n",
      label, heldErrors.size(), kHeldPercent, held.median, held.worst);
  std::printf(
      "summary [%s] error against the imul reference: median |error| %.3f %%, worst %.3f %%\n",
      label, multiplyError.median, multiplyError.worst);
  std::printf("summary [%s] reference before vs after: median |change| %.3f %%, worst %.3f %%\n",
              label, drift.median, drift.worst);
  std::printf("summary [%s] call wall time: median %.3f ms, worst %.3f ms\n", label, wall.median,
              wall.worst);
  std::printf("summary [%s] call thread CPU time: median %.3f ms, worst %.3f ms\n", label,
              cpu.median, cpu.worst);
  return errors.empty() ? 1 : 0;
}

int Calibrate(int count, const char* label) {
  CalibrationTuning tuning;
  // The tests' divisor: the two spins it sizes only feed tscPerHpcTick, and at
  // the default they take a minute here, where every CPUID traps to the
  // hypervisor. The frequency window and the MM window are the default ones.
  tuning.divisor = 1000000;
  std::printf("[%s] %-3s %16s %16s %10s %10s\n", label, "run", "tscHz", "tscPerMs*1000", "ppm",
              "seconds");
  std::vector<double> errors;
  for (int run = 1; run <= count; ++run) {
    const int64_t begin = ReadPerformanceCounter();
    const ClockCalibration calibration =
        CalibrateClock(tuning.divisor, tuning.mmDelayMs, tuning.affinityMask, tuning.sleepMs);
    timeEndPeriod(1);
    const double seconds = CounterMs(ReadPerformanceCounter() - begin) / 1000.0;
    const double mmHz = calibration.tscPerMs * 1000.0;
    const double ppm = (mmHz / static_cast<double>(calibration.tscHz) - 1.0) * 1e6;
    errors.push_back(ppm);
    std::printf("[%s] %-3d %16llu %16.1f %+10.1f %10.1f\n", label, run,
                static_cast<unsigned long long>(calibration.tscHz), mmHz, ppm, seconds);
    std::fflush(stdout);
  }
  const Spread spread = SpreadOf(errors);
  std::printf("summary [%s] MM calibration error: median %+.1f ppm, worst %+.1f ppm\n", label,
              spread.median, spread.worst);
  return 0;
}
}  // namespace

int main(int argc, char** argv) {
  if (argc == 5 && std::strcmp(argv[1], "accuracy") == 0) {
    return Accuracy(std::atoi(argv[2]), std::atoi(argv[3]), argv[4]);
  }
  if (argc == 4 && std::strcmp(argv[1], "calibrate") == 0) {
    return Calibrate(std::atoi(argv[2]), argv[3]);
  }
  std::fprintf(stderr,
               "usage: CoreClockBench accuracy <port> <samples> <label> | calibrate <count> "
               "<label>\n");
  return 2;
}
