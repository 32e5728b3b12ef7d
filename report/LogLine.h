// The shapes of the lines in a monitor's log file. Texts that come from a
// language module (the header, the note, the words before the dates) are
// recognised by their shape only, so a log written in any language reads alike.
#pragma once
#include <cstdint>
#include <string_view>

namespace report {

// "HH:MM:SS, %7.2f MHz" then, each optional and in this order, ", (%.1f%)",
// ", (%u K)", ", (core %7.2f MHz)", ", (limit %u%)", ", (%.1f C)" and ", (on battery)".
struct SampleLine {
  unsigned secondOfDay = 0;
  double mhz = 0;
  int64_t centiMhz = 0;      // hundredths, exact up to 18 digits, limited beyond
  std::string_view mhzText;  // as written, without the padding
  bool hasLoad = false;
  double load = 0;
  int64_t deciLoad = 0;  // tenths of a percent
  std::string_view loadText;
  bool hasMemory = false;
  uint64_t memoryKb = 0;
  std::string_view memoryText;
  bool hasCoreClock = false;
  double coreMhz = 0;
  int64_t coreCentiMhz = 0;
  std::string_view coreText;  // as written, without the padding
  bool hasLimit = false;
  uint32_t limitPercent = 0;  // of the nominal clock the system allows
  std::string_view limitText;
  bool hasTemperature = false;
  double temperature = 0;  // degrees Celsius of the hottest zone
  int64_t deciTemperature = 0;
  std::string_view temperatureText;
  bool onBattery = false;
};

// "<label>: MM/DD/YY, HH:MM:SS", optionally followed by " (<note>)": the started
// line (always with its timer note), the stopped line (no note) and the line that
// closes a run which ended without Stop (a note after the time).
struct StampedLine {
  std::string_view label;
  int year = 0;
  unsigned month = 0;
  unsigned day = 0;
  unsigned secondOfDay = 0;
  bool hasNote = false;
  std::string_view note;
};

bool ParseSampleLine(std::string_view line, SampleLine& sample);
bool ParseStampedLine(std::string_view line, StampedLine& stamped);
// "<text> (<word>: <stamp>) <text>", the first line of a file's header.
bool IsHeaderLine(std::string_view line);
// "--", the header's second line.
bool IsRuleLine(std::string_view line);

}  // namespace report
