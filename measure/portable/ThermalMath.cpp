#include "measure/portable/ThermalMath.h"

#include <cmath>

bool LimitPercent(double percent, unsigned* rounded) {
  if (!(percent >= 0.0)) return false;  // also not a number
  *rounded = percent >= 100.0 ? 100u : static_cast<unsigned>(std::lround(percent));
  return true;
}

bool LimitPercentFromMhz(uint32_t mhzLimit, uint32_t maxMhz, unsigned* percent) {
  if (maxMhz == 0) return false;
  return LimitPercent(100.0 * mhzLimit / maxMhz, percent);
}

void TakeLowerLimit(ThermalReading& reading, unsigned percent) {
  if (!reading.hasLimit || percent < reading.limitPercent) reading.limitPercent = percent;
  reading.hasLimit = true;
}

bool CelsiusFromKelvin(double kelvin, double* celsius) {
  if (!(kelvin > 0.0)) return false;
  *celsius = kelvin - 273.15;
  return true;
}

void TakeHotterZone(ThermalReading& reading, double celsius) {
  if (!reading.hasTemperature || celsius > reading.celsius) reading.celsius = celsius;
  reading.hasTemperature = true;
}

bool ProcessorSelected(uint32_t mask, size_t index, size_t count) {
  const uint32_t present = count >= 32 ? UINT32_MAX : (1u << count) - 1u;
  if ((mask & present) == 0) return true;
  return index < 32 && (mask >> index) & 1u;
}
