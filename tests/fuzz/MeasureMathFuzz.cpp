// The measurement arithmetic fed any counter readings and any tuning values from
// the registry: no overflow the sanitizers can see, no infinity or NaN in a figure
// that reaches the log, and the 128-bit quotient exact.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <initializer_list>

#include "app/portable/ErrorCodes.h"
#include "measure/portable/ClockMath.h"
#include "measure/portable/LoadMath.h"
#include "monitor/portable/RunTiming.h"
#include "tests/fuzz/FuzzCheck.h"

namespace {
// Reads the input a field at a time; missing bytes read as zeros.
class Fields {
 public:
  Fields(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  template <typename T>
  T Next() {
    T value{};
    const size_t take = size_ < sizeof value ? size_ : sizeof value;
    std::memcpy(&value, data_, take);
    data_ += take;
    size_ -= take;
    return value;
  }

 private:
  const uint8_t* data_;
  size_t size_;
};

void CheckMulDiv(uint64_t a, uint64_t b, uint64_t c) {
  const uint64_t result = MulDivFloor(a, b, c);
  if (c == 0) {
    FUZZ_CHECK(result == 0);
    return;
  }
  const unsigned __int128 exact = static_cast<unsigned __int128>(a) * b / c;
  FUZZ_CHECK(result == (exact > UINT64_MAX ? UINT64_MAX : static_cast<uint64_t>(exact)));
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Fields in(data, size);
  const ClockSnapshot previous{in.Next<uint32_t>(), in.Next<int64_t>(), in.Next<uint64_t>()};
  const ClockSnapshot current{in.Next<uint32_t>(), in.Next<int64_t>(), in.Next<uint64_t>()};
  const uint64_t tscHz = in.Next<uint64_t>();
  const uint64_t counterFrequency = in.Next<uint64_t>();
  const uint32_t divisor = in.Next<uint32_t>();
  const uint32_t windowMs = in.Next<uint32_t>();
  const uint32_t minutes = in.Next<uint32_t>();
  const uint32_t seconds = in.Next<uint32_t>();
  const uint32_t processors = in.Next<uint32_t>();
  const uint8_t flags = in.Next<uint8_t>();

  CheckMulDiv(current.tsc, counterFrequency, static_cast<uint64_t>(current.hpc));
  CheckMulDiv(tscHz, previous.tsc, current.tsc);
  FUZZ_CHECK(TscFrequency(current.tsc, counterFrequency, 0) == 0);
  FUZZ_CHECK(SpinCount(tscHz, divisor) ==
             static_cast<uint32_t>(tscHz / (divisor != 0 ? divisor : kDefaultDivisor)));

  const double hpcRatio =
      WindowRatio(TscDelta(current.tsc, previous.tsc), HpcDelta(current.hpc, previous.hpc));
  const double mmRatio =
      WindowRatio(TscDelta(current.tsc, previous.tsc), MsDelta(current.mmTime, previous.mmTime));
  FUZZ_CHECK(std::isfinite(hpcRatio) && hpcRatio >= 0.0);
  FUZZ_CHECK(std::isfinite(mmRatio) && mmRatio >= 0.0);
  FUZZ_CHECK(std::isfinite(GeometricMean(hpcRatio, mmRatio)));
  // A ratio read from a tuning value may be anything a double holds.
  const double anyRatio = in.Next<double>();
  for (const bool useMmTimer : {false, true}) {
    for (const double ratio : {hpcRatio, mmRatio, anyRatio}) {
      const double mhz = ComputeCpuClockMhz(previous, current, useMmTimer, tscHz, ratio, ratio);
      FUZZ_CHECK(std::isfinite(mhz) && mhz >= 0.0);
    }
  }
  MmWindowOpen(previous.mmTime, current.mmTime, windowMs);
  FUZZ_CHECK(MmWindowOpen(previous.mmTime, previous.mmTime, windowMs));

  FUZZ_CHECK(IdleCalibrationLimit(tscHz) > 0 || tscHz < 200);
  const double perMs = IdleCountsPerMs(static_cast<uint32_t>(tscHz), windowMs);
  FUZZ_CHECK(std::isfinite(perMs));
  const float idleLoad = IdleLoadPercent(divisor, windowMs, (flags & 1) != 0 ? perMs : anyRatio);
  FUZZ_CHECK(std::isfinite(idleLoad) && idleLoad >= 0.0f && idleLoad <= 100.0f);

  NativeLoadHistory history{};
  NativeLoadPercent(history, previous.hpc, static_cast<int64_t>(previous.tsc), processors);
  const float nativeLoad =
      NativeLoadPercent(history, current.hpc, static_cast<int64_t>(current.tsc), processors);
  FUZZ_CHECK(std::isfinite(nativeLoad));
  FUZZ_CHECK(codes::Failed(FailureFromLastError(divisor)));

  // Wrapping is the tick count's arithmetic; the sanitizers watch the rest.
  StartDelayMs(minutes);
  FUZZ_CHECK(seconds != 0 || TimerPeriodMs(seconds) == 1000u);
  FUZZ_CHECK(TimerPeriodMs(seconds) <= kLongestTimerPeriodMs);
  FUZZ_CHECK(SampleIsDue(windowMs, windowMs));
  return 0;
}
