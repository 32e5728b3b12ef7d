// Readings of the local clock, as the log texts take them.
#pragma once
#include <windows.h>

#include "monitor/portable/LogText.h"

inline LocalTime ToLocalTime(const SYSTEMTIME& time) {
  return {time.wYear, time.wMonth, time.wDay, time.wHour, time.wMinute, time.wSecond};
}

inline LocalTime ReadLocalTime() {
  SYSTEMTIME now{};
  GetLocalTime(&now);
  return ToLocalTime(now);
}
