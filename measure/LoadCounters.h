// The load service's process-wide state: one instance per process, not per run.
#pragma once
#include <windows.h>

#include "measure/portable/LoadMath.h"

struct LoadCounters {
  // Passes of the counting thread since the last read or wrap; changed only
  // by interlocked operations, except the zeroing at thread start.
  volatile LONG idleCount = 0;
  // Passes of the full-speed run inside Start.
  volatile LONG calibrationCount = 0;
  // The previous successful native reading; survives Stop and Start.
  NativeLoadHistory native;
};

LoadCounters& ProcessLoadCounters();
// Counting threads that have not yet left.
int CountingThreadsAlive();
