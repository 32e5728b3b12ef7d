#include "report/LogLine.h"

#include "report/CivilTime.h"

namespace report {
namespace {
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Reads `count` digits at `at`, moving past them.
bool ReadDigits(std::string_view text, size_t& at, size_t count, unsigned& value) {
  if (text.size() - at < count) return false;
  value = 0;
  for (size_t i = 0; i < count; ++i) {
    const char c = text[at + i];
    if (!IsDigit(c)) return false;
    value = value * 10 + static_cast<unsigned>(c - '0');
  }
  at += count;
  return true;
}

bool ReadLiteral(std::string_view text, size_t& at, std::string_view literal) {
  if (text.substr(at, literal.size()) != literal) return false;
  at += literal.size();
  return true;
}

// "HH:MM:SS" on the 24-hour clock.
bool ReadTimeOfDay(std::string_view text, size_t& at, unsigned& secondOfDay) {
  unsigned hour, minute, second;
  if (!ReadDigits(text, at, 2, hour) || !ReadLiteral(text, at, ":") ||
      !ReadDigits(text, at, 2, minute) || !ReadLiteral(text, at, ":") ||
      !ReadDigits(text, at, 2, second)) {
    return false;
  }
  if (hour > 23 || minute > 59 || second > 59) return false;
  secondOfDay = hour * 3600 + minute * 60 + second;
  return true;
}

// A fixed-point figure as printf's %.Nf writes it: an optional minus, digits, a
// full stop and exactly `decimals` digits.
bool ReadFixed(std::string_view text, size_t& at, unsigned decimals, double& value,
               std::string_view& written) {
  const size_t begin = at;
  const bool negative = at < text.size() && text[at] == '-';
  if (negative) ++at;
  double whole = 0;
  const size_t digitsBegin = at;
  while (at < text.size() && IsDigit(text[at])) whole = whole * 10 + (text[at++] - '0');
  if (at == digitsBegin || at >= text.size() || text[at] != '.') return false;
  ++at;
  unsigned fraction = 0;
  if (!ReadDigits(text, at, decimals, fraction)) return false;
  double scale = 1;
  for (unsigned i = 0; i < decimals; ++i) scale *= 10;
  value = whole + fraction / scale;
  if (negative) value = -value;
  written = text.substr(begin, at - begin);
  return true;
}

bool ReadUnsigned(std::string_view text, size_t& at, uint64_t& value, std::string_view& written) {
  const size_t begin = at;
  value = 0;
  while (at < text.size() && IsDigit(text[at])) {
    const unsigned digit = static_cast<unsigned>(text[at++] - '0');
    if (value > (UINT64_MAX - digit) / 10) return false;
    value = value * 10 + digit;
  }
  written = text.substr(begin, at - begin);
  return at > begin;
}
}  // namespace

bool ParseSampleLine(std::string_view line, SampleLine& sample) {
  size_t at = 0;
  if (!ReadTimeOfDay(line, at, sample.secondOfDay) || !ReadLiteral(line, at, ", ")) return false;
  while (at < line.size() && line[at] == ' ') ++at;
  if (!ReadFixed(line, at, 2, sample.mhz, sample.mhzText) || !ReadLiteral(line, at, " MHz")) {
    return false;
  }
  sample.hasLoad = false;
  sample.hasMemory = false;
  if (at == line.size()) return true;
  if (!ReadLiteral(line, at, ", (")) return false;
  // The load comes before the memory when both are there.
  const size_t pieceBegin = at;
  if (ReadFixed(line, at, 1, sample.load, sample.loadText) && ReadLiteral(line, at, "%)")) {
    sample.hasLoad = true;
    if (at == line.size()) return true;
    if (!ReadLiteral(line, at, ", (")) return false;
  } else {
    at = pieceBegin;
  }
  if (!ReadUnsigned(line, at, sample.memoryKb, sample.memoryText) ||
      !ReadLiteral(line, at, " K)")) {
    return false;
  }
  sample.hasMemory = true;
  return at == line.size();
}

bool ParseStampedLine(std::string_view line, StampedLine& stamped) {
  const size_t colon = line.find(": ");
  if (colon == 0 || colon == std::string_view::npos) return false;
  if (line.substr(0, colon).find(':') != std::string_view::npos) return false;
  size_t at = colon + 2;
  unsigned month, day, year;
  if (!ReadDigits(line, at, 2, month) || !ReadLiteral(line, at, "/") ||
      !ReadDigits(line, at, 2, day) || !ReadLiteral(line, at, "/") ||
      !ReadDigits(line, at, 2, year) || !ReadLiteral(line, at, ", ") ||
      !ReadTimeOfDay(line, at, stamped.secondOfDay)) {
    return false;
  }
  stamped.year = YearOfTwoDigits(year);
  if (!IsValidDate(stamped.year, month, day)) return false;
  stamped.month = month;
  stamped.day = day;
  stamped.label = line.substr(0, colon);
  stamped.hasNote = false;
  stamped.note = {};
  if (at == line.size()) return true;
  if (!ReadLiteral(line, at, " (") || line.size() - at < 2 || line.back() != ')') return false;
  stamped.hasNote = true;
  stamped.note = line.substr(at, line.size() - 1 - at);
  return true;
}

bool IsHeaderLine(std::string_view line) {
  for (size_t open = line.find(" ("); open != std::string_view::npos;
       open = line.find(" (", open + 1)) {
    if (open == 0) continue;
    const size_t wordBegin = open + 2;
    const size_t colon = line.find(": ", wordBegin);
    if (colon == std::string_view::npos || colon == wordBegin) continue;
    if (line.substr(wordBegin, colon - wordBegin).find_first_of(" ()") != std::string_view::npos) {
      continue;
    }
    const size_t close = line.find(')', colon + 2);
    if (close == std::string_view::npos || close == colon + 2) continue;
    if (line.substr(close, 2) == ") " && close + 2 < line.size()) return true;
  }
  return false;
}

bool IsRuleLine(std::string_view line) { return line == "--"; }

}  // namespace report
