// The arithmetic of the limits and temperatures Windows reports: pure
// functions, no platform calls.
#pragma once
#include <cstddef>
#include <cstdint>

// What the sources answered for one sample; a figure counts only with its flag.
struct ThermalReading {
  bool hasLimit = false;
  unsigned limitPercent = 100;  // of the nominal clock; 100 = not held back
  bool hasTemperature = false;
  double celsius = 0.0;  // the hottest zone
  bool onBattery = false;
};

// A limit in percent, rounded. Above 100 holds nothing back and counts as 100;
// a negative or not-a-number figure is no answer (false).
bool LimitPercent(double percent, unsigned* rounded);
// The processor's allowed clock against its nominal one; no answer without a
// nominal clock.
bool LimitPercentFromMhz(uint32_t mhzLimit, uint32_t maxMhz, unsigned* percent);
// Keeps the lower of what `reading` holds and `percent`.
void TakeLowerLimit(ThermalReading& reading, unsigned percent);

// A zone's temperature in Kelvin, in degrees Celsius. A zone that reports 0 K
// (or less) has no sensor behind it: no answer.
bool CelsiusFromKelvin(double kelvin, double* celsius);
// Keeps the hotter of what `reading` holds and `celsius`.
void TakeHotterZone(ThermalReading& reading, double celsius);

// Whether the processor `index` is one of `mask`'s; a mask that names none of
// the `count` processors stands for all of them, as the thread then runs anywhere.
bool ProcessorSelected(uint32_t mask, size_t index, size_t count);
