// printf-style formatting appended to a string.
#pragma once
#include <string>

namespace report {

void AppendFormat(std::string& out, const char* format, ...) __attribute__((format(printf, 2, 3)));

}  // namespace report
