#include "monitor/portable/LogFileName.h"

std::string LogFileBaseName(const std::string& format, const LocalTime& time) {
  return FormatText(format.c_str(), time.year, time.month, time.day, time.hour, time.minute,
                    time.second);
}
