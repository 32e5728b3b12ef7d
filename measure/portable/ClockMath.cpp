#include "measure/portable/ClockMath.h"

// Not built yet.
double ComputeCpuClockMhz(const ClockSnapshot&, const ClockSnapshot&, bool, uint64_t, double,
                          double) {
  return 0.0;
}
