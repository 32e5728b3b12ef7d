// The clock a core gives a thread that works: a chain of dependent adds timed
// against the performance counter, after a warm-up, on the calling thread.
#pragma once
#include <windows.h>

#include <cstdint>

#include "measure/portable/CoreClockMath.h"

// The add latency of the processor this runs on, found once.
AddLatency ProcessorAddLatency();

// What one measurement did, for the tests and the benchmark.
struct CoreClockTrace {
  uint32_t rounds = 0;
  uint32_t passes = 0;
  bool settled = false;  // two rounds agreed before the time ran out
  double figureMhz = 0.0;
  int64_t counterTicks = 0;  // the whole measurement, warm-up included
};

// The core clock in MHz. False, with nothing written, when there is no
// performance counter or no round could be timed: no figure is then made up.
bool MeasureCoreClock(double cyclesPerAdd, double* mhz, CoreClockTrace* trace = nullptr);

// The chains themselves, `passes` times (at least once) each.
void RunShortAddChain(uint32_t passes);
void RunLongAddChain(uint32_t passes);
