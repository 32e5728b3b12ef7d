// Benchmark of the measurement engine, run under Wine: the accuracy of the
// clock figure with each reference, and what each reading costs.
//   MeasureBench accuracy <referenceHz> [seconds...]
//   MeasureBench cost
#include <windows.h>
#include <mmsystem.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "measure/ClockCalibration.h"
#include "measure/MemoryProbe.h"
#include "measure/PlatformSeam.h"
#include "measure/Processor.h"
#include "measure/MemoryProbe.h"
#include "monitor/MonitorDialog.h"

namespace {
double NowMs() {
  static const double frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return static_cast<double>(f.QuadPart);
  }();
  return static_cast<double>(ReadPerformanceCounter()) * 1000.0 / frequency;
}

double Ppm(double mhz, double referenceHz) { return (mhz * 1e6 / referenceHz - 1.0) * 1e6; }

int Accuracy(double referenceHz, const std::vector<int>& intervals) {
  const CalibrationTuning tuning;
  const double started = NowMs();
  const ClockCalibration calibration =
      CalibrateClock(tuning.divisor, tuning.mmDelayMs, tuning.affinityMask, tuning.sleepMs);
  std::printf("calibration: %.1f ms, tscHz %llu (%+.1f ppm), tscPerHpcTick %.6f, tscPerMs %.3f\n",
              NowMs() - started, static_cast<unsigned long long>(calibration.tscHz),
              Ppm(calibration.tscHz / 1e6, referenceHz), calibration.tscPerHpcTick,
              calibration.tscPerMs);
  std::printf("%-10s %14s %10s %14s %10s\n", "interval", "counter MHz", "ppm", "MM timer MHz",
              "ppm");
  for (int seconds : intervals) {
    const ClockSnapshot first = TakeClockSnapshot();
    Sleep(static_cast<DWORD>(seconds) * 1000);
    const ClockSnapshot second = TakeClockSnapshot();
    const double withCounter = ComputeCpuClockMhz(first, second, false, calibration.tscHz,
                                                  calibration.tscPerHpcTick, calibration.tscPerMs);
    const double withMmTimer = ComputeCpuClockMhz(first, second, true, calibration.tscHz,
                                                  calibration.tscPerHpcTick, calibration.tscPerMs);
    std::printf("%-10d %14.6f %+10.1f %14.6f %+10.1f\n", seconds, withCounter,
                Ppm(withCounter, referenceHz), withMmTimer, Ppm(withMmTimer, referenceHz));
    std::fflush(stdout);
  }
  timeEndPeriod(1);
  return 0;
}

template <typename Work>
double MicrosecondsEach(int passes, Work work) {
  const double started = NowMs();
  for (int pass = 0; pass < passes; ++pass) work();
  return (NowMs() - started) * 1000.0 / passes;
}

int Cost() {
  volatile double sink = 0.0;
  ClockSnapshot previous = TakeClockSnapshot();
  const double clock = MicrosecondsEach(200000, [&] {
    const ClockSnapshot current = TakeClockSnapshot();
    sink = sink + ComputeCpuClockMhz(previous, current, false, 2096030000u, 209.6, 2096030.0);
    previous = current;
  });
  std::printf("snapshot + clock figure: %.3f us\n", clock);

  MonitorDialog dialog;
  dialog.useIdleThread = 0;
  dialog.Start();
  float load = 0.0f;
  const double native = MicrosecondsEach(2000, [&] { dialog.QueryNativeLoad(&load); });
  std::printf("native load reading: %.3f us (last %.1f %%)\n", native, load);

  uint64_t kilobytes = 0;
  const double memory = MicrosecondsEach(20000, [&] { GetAvailableMemoryKb(true, &kilobytes); });
  std::printf("memory reading: %.3f us (%llu KB)\n", memory,
              static_cast<unsigned long long>(kilobytes));

  // The default calibration, its parts timed from within.
  const CalibrationTuning tuning;
  CalibrationTrace trace;
  const ClockCalibration calibration =
      CalibrateClock(tuning.divisor, tuning.mmDelayMs, tuning.affinityMask, tuning.sleepMs, &trace);
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  const auto ms = [&frequency](int64_t from, int64_t to) {
    return static_cast<double>(to - from) * 1000.0 / static_cast<double>(frequency.QuadPart);
  };
  const double total = ms(trace.begin, trace.end);
  const double frequencyWindow = ms(trace.frequencyWindowBegin, trace.frequencyWindowEnd);
  const double spins = ms(trace.afterFrequency, trace.afterSecondSpin);
  const double pauses = 2 * 12.0;
  const double own = frequencyWindow + spins + trace.mmWindowMs + pauses;
  std::printf("default calibration: %.1f ms\n", total);
  std::printf(
      "  frequency measurement: %.1f ms, of which the 400,000-CPUID window %.1f ms"
      " (%.3f us per CPUID)\n",
      ms(trace.afterPause, trace.afterFrequency), frequencyWindow,
      frequencyWindow * 1000.0 / kFrequencyWindowSpins);
  std::printf("  two spins of %u CPUIDs: %.1f and %.1f ms\n",
              SpinCount(calibration.tscHz, tuning.divisor),
              ms(trace.afterFrequency, trace.afterFirstSpin),
              ms(trace.afterFirstSpin, trace.afterSecondSpin));
  std::printf("  MM-timer measurement: %.1f ms, of which the window %u ms\n",
              ms(trace.afterSecondSpin, trace.end), trace.mmWindowMs);
  std::printf("  two 12 ms pauses: %.1f ms\n", pauses);
  std::printf("  rest (edge waits, priority calls, sleep overshoot): %.1f ms\n", total - own);
  timeEndPeriod(1);
  return sink < 0.0 ? 1 : 0;
}
}  // namespace

int main(int argc, char** argv) {
  if (argc >= 3 && std::strcmp(argv[1], "accuracy") == 0) {
    std::vector<int> intervals;
    for (int i = 3; i < argc; ++i) intervals.push_back(std::atoi(argv[i]));
    if (intervals.empty()) intervals = {1, 5, 30};
    return Accuracy(std::atof(argv[2]), intervals);
  }
  if (argc >= 2 && std::strcmp(argv[1], "cost") == 0) return Cost();
  std::fprintf(stderr, "usage: MeasureBench accuracy <referenceHz> [seconds...] | cost\n");
  return 2;
}
