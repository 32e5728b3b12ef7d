// Memory arithmetic: pure functions, no platform calls.
#pragma once
#include <cstdint>

// Bytes to kilobytes of 1024 bytes, the fraction dropped; 64 bits wide so that
// 4 TiB and more come through in full.
constexpr uint64_t BytesToKilobytes(uint64_t bytes) { return bytes >> 10; }
