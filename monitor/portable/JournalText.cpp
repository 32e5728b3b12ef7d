#include "monitor/portable/JournalText.h"

#include <cctype>
#include <cstring>

std::string WithCrLf(std::string_view text) {
  std::string converted;
  converted.reserve(text.size() + text.size() / 16 + 2);
  for (const char c : text) {
    if (c == '\n') converted += '\r';
    converted += c;
  }
  return converted;
}

std::string NumberedName(const std::string& base, unsigned attempt, const char* extension) {
  if (attempt <= 1) return base + extension;
  return base + "-" + std::to_string(attempt) + extension;
}

std::string WithoutExtension(const std::string& path, const char* extension) {
  const size_t length = std::strlen(extension);
  if (path.size() <= length) return {};
  const size_t start = path.size() - length;
  for (size_t i = 0; i < length; ++i) {
    const auto a = static_cast<unsigned char>(path[start + i]);
    const auto b = static_cast<unsigned char>(extension[i]);
    if (std::tolower(a) != std::tolower(b)) return {};
  }
  return path.substr(0, start);
}
