#include "monitor/portable/LogText.h"

#include <cstdarg>
#include <cstdio>

std::string FormatText(const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list sizing;
  va_copy(sizing, args);
  const int length = std::vsnprintf(nullptr, 0, format, sizing);
  va_end(sizing);
  std::string text;
  if (length > 0) {
    text.resize(static_cast<size_t>(length));
    std::vsnprintf(text.data(), text.size() + 1, format, args);
  }
  va_end(args);
  return text;
}

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

std::string MemoryPiece(uint64_t kilobytes) {
  if (kilobytes <= UINT32_MAX) return FormatText(", (%u K)", static_cast<unsigned>(kilobytes));
  return FormatText(", (%llu K)", static_cast<unsigned long long>(kilobytes));
}
