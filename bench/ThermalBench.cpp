// Benchmark of the Thermal monitor's cost per sample, run under Wine on CPU 0:
//   ThermalBench <samples> <label>
// opens the sources as Start does (AffMask 1), then takes `samples` readings a
// tenth of a second apart, each timed in the thread's CPU time as the host
// kernel counts it and in wall time; prints the median and the worst, the cost
// of the opening and the pieces the last reading gave.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "bench/BenchFigures.h"
#include "measure/ThermalSources.h"
#include "monitor/portable/LogText.h"

namespace {
double WallMs(const LARGE_INTEGER& from, const LARGE_INTEGER& to) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(to.QuadPart - from.QuadPart) * 1000.0 /
         static_cast<double>(frequency.QuadPart);
}
}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: ThermalBench <samples> <label>\n");
    return 2;
  }
  const int samples = std::atoi(argv[1]);
  const char* label = argv[2];
  SetThreadAffinityMask(GetCurrentThread(), 1);

  ThermalSources sources;
  LARGE_INTEGER begin, end;
  const int64_t openCpu = HostThreadCpuNs();
  QueryPerformanceCounter(&begin);
  const bool answers = sources.Open(1);
  QueryPerformanceCounter(&end);
  const double openCpuMs = (HostThreadCpuNs() - openCpu) / 1e6;
  const double openWallMs = WallMs(begin, end);

  std::vector<double> cpus, walls;
  ThermalReading reading;
  for (int sample = 0; sample < samples; ++sample) {
    Sleep(100);
    const int64_t cpuBefore = HostThreadCpuNs();
    QueryPerformanceCounter(&begin);
    reading = sources.Read();
    QueryPerformanceCounter(&end);
    const int64_t cpuAfter = HostThreadCpuNs();
    cpus.push_back((cpuAfter - cpuBefore) / 1e3);
    walls.push_back(WallMs(begin, end) * 1e3);
  }
  sources.Close();
  const Spread cpu = SpreadOf(cpus), wall = SpreadOf(walls);
  std::printf(
      "summary %s: %d samples, CPU per sample median %.1f us, worst %.1f us; wall median %.1f us,"
      " worst %.1f us; opening %.2f ms CPU, %.2f ms wall; a limit or temperature answers: %s;"
      " pieces \"%s\"\n",
      label, samples, cpu.median, cpu.worst, wall.median, wall.worst, openCpuMs, openWallMs,
      answers ? "yes" : "no", ThermalPieces(reading).c_str());
  return 0;
}
