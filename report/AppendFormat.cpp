#include "report/AppendFormat.h"

#include <cstdarg>
#include <cstdio>

namespace report {

void AppendFormat(std::string& out, const char* format, ...) {
  char text[1024];
  va_list arguments;
  va_start(arguments, format);
  const int length = std::vsnprintf(text, sizeof text, format, arguments);
  va_end(arguments);
  if (length <= 0) return;
  if (static_cast<size_t>(length) < sizeof text) {
    out.append(text, static_cast<size_t>(length));
    return;
  }
  // Longer than the buffer (a long file name): formatted again at its full length.
  std::string longer(static_cast<size_t>(length) + 1, '\0');
  va_start(arguments, format);
  std::vsnprintf(longer.data(), longer.size(), format, arguments);
  va_end(arguments);
  out.append(longer.data(), static_cast<size_t>(length));
}

}  // namespace report
