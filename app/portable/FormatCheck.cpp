#include "app/portable/FormatCheck.h"

#include <cstring>

namespace {
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
// strchr finds the terminator too, so a NUL would count as a member of any set.
bool IsOneOf(const char* set, char c) { return c != '\0' && std::strchr(set, c) != nullptr; }

// Length modifiers the C runtimes accept, longest first so that "ll" wins over "l".
constexpr const char* kLengthModifiers[] = {"I64", "I32", "hh", "ll", "h", "l", "L", "z", "j", "t", "I"};
constexpr const char* kConversions = "diouxXeEfFgGaAcspn";
}  // namespace

std::optional<std::vector<std::string>> ParseConversions(std::string_view format) {
  std::vector<std::string> conversions;
  size_t i = 0;
  while (i < format.size()) {
    if (format[i] != '%') {
      ++i;
      continue;
    }
    const size_t start = i++;
    if (i < format.size() && format[i] == '%') {
      ++i;
      continue;
    }
    while (i < format.size() && IsOneOf("-+ #0'", format[i])) ++i;
    if (i < format.size() && format[i] == '*') {
      ++i;
    } else {
      while (i < format.size() && IsDigit(format[i])) ++i;
    }
    if (i < format.size() && format[i] == '.') {
      ++i;
      if (i < format.size() && format[i] == '*') {
        ++i;
      } else {
        while (i < format.size() && IsDigit(format[i])) ++i;
      }
    }
    for (const char* modifier : kLengthModifiers) {
      const size_t length = std::strlen(modifier);
      if (format.substr(i, length) == modifier) {
        i += length;
        break;
      }
    }
    if (i >= format.size() || !IsOneOf(kConversions, format[i])) {
      return std::nullopt;
    }
    ++i;
    conversions.emplace_back(format.substr(start, i - start));
  }
  return conversions;
}

bool HasSameConversions(std::string_view candidate, std::string_view reference) {
  const auto theirs = ParseConversions(candidate);
  const auto ours = ParseConversions(reference);
  return theirs && ours && *theirs == *ours;
}

const std::string& ChooseSafeFormat(const std::string& candidate, const std::string& reference) {
  return HasSameConversions(candidate, reference) ? candidate : reference;
}
