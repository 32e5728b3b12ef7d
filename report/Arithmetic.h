// Whole-number arithmetic shared by the report's parts.
#pragma once
#include <cstdint>

namespace report {

// Division that rounds towards minus infinity, for times and values below zero.
inline int64_t FloorDiv(int64_t value, int64_t divisor) {
  const int64_t quotient = value / divisor;
  return (value % divisor != 0 && (value < 0) != (divisor < 0)) ? quotient - 1 : quotient;
}

}  // namespace report
