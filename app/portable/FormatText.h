// printf into a std::string.
#pragma once
#include <string>

// printf into a string of whatever length the result needs.
std::string FormatText(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;
