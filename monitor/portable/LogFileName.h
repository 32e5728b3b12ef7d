// The generated log file name and the directory it goes into.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>

#include "monitor/portable/LogText.h"

// Tells whether a byte starts a double-byte character in the ANSI code page.
using LeadBytePredicate = bool (*)(unsigned char);

// The length of the directory part of `path`: up to and including its last
// backslash, searched character by character so that the trailing byte of a
// double-byte character is never taken for one; 0 when there is none.
size_t DirectoryLength(std::string_view path, LeadBytePredicate isLeadByte);

// The base name: `format` printed with year, month, day, hour, minute, second.
std::string LogFileBaseName(const std::string& format, const LocalTime& time);
