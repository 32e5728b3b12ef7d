// The generated log file name.
#pragma once
#include <string>

#include "app/portable/PathFolder.h"
#include "monitor/portable/LogText.h"

// The base name: `format` printed with year, month, day, hour, minute, second.
std::string LogFileBaseName(const std::string& format, const LocalTime& time);
