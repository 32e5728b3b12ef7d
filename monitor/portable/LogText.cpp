#include "monitor/portable/LogText.h"

std::string DateText(const LocalTime& time) {
  return FormatText("%02u/%02u/%02u", time.month, time.day, time.year % 100);
}

std::string TimeText(const LocalTime& time) {
  return FormatText("%02u:%02u:%02u", time.hour, time.minute, time.second);
}

std::string ClockPiece(const std::string& time, double mhz) {
  return FormatText("%s, %7.2f MHz", time.c_str(), mhz);
}

std::string LoadPiece(float percent) {
  return FormatText(", (%.1f%%)", static_cast<double>(percent));
}

std::string CoreClockPiece(double mhz) { return FormatText(", (core %7.2f MHz)", mhz); }

std::string LimitPiece(unsigned percent) { return FormatText(", (limit %u%%)", percent); }

std::string TemperaturePiece(double celsius) { return FormatText(", (%.1f C)", celsius); }

std::string ThermalPieces(const ThermalReading& reading) {
  std::string pieces;
  if (reading.hasLimit) pieces += LimitPiece(reading.limitPercent);
  if (reading.hasTemperature) pieces += TemperaturePiece(reading.celsius);
  if (reading.onBattery) pieces += kBatteryPiece;
  return pieces;
}

std::string MemoryPiece(uint64_t kilobytes) {
  if (kilobytes <= UINT32_MAX) return FormatText(", (%u K)", static_cast<unsigned>(kilobytes));
  return FormatText(", (%llu K)", static_cast<unsigned long long>(kilobytes));
}
