// One reading of the local clock, as the log texts take it.
#pragma once
#include <windows.h>

#include "monitor/portable/LogText.h"

inline LocalTime ReadLocalTime() {
  SYSTEMTIME now{};
  GetLocalTime(&now);
  return {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
}
