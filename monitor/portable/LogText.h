// The texts of the monitoring log: dates, times and the pieces of a sample line.
#pragma once
#include <cstdint>
#include <string>

#include "app/portable/FormatText.h"
#include "measure/portable/ThermalMath.h"

// One reading of the local clock.
struct LocalTime {
  unsigned year = 0, month = 0, day = 0;
  unsigned hour = 0, minute = 0, second = 0;
};

// "MM/DD/YY", every number zero-padded.
std::string DateText(const LocalTime& time);
// "HH:MM:SS", 24-hour clock.
std::string TimeText(const LocalTime& time);

// The pieces of a sample line, in the order they are joined.
std::string ClockPiece(const std::string& time, double mhz);
std::string LoadPiece(float percent);
// The kilobytes as an unsigned 32-bit figure would print them, and whole above that.
std::string MemoryPiece(uint64_t kilobytes);
// The clock a core gives a working thread, last on the line.
std::string CoreClockPiece(double mhz);
// The Thermal monitor's pieces, after the core clock, each only when its source answered.
std::string LimitPiece(unsigned percent);
std::string TemperaturePiece(double celsius);
constexpr char kBatteryPiece[] = ", (on battery)";
// Those of them that `reading` has, in their order: limit, temperature, battery.
std::string ThermalPieces(const ThermalReading& reading);
constexpr char kEndOfLine[] = "\n";
