#include "report/LogLine.h"

#include <cstddef>
#include <cstdint>

#include "report/CivilTime.h"

namespace report {
namespace {
// Walks a line piece by piece. Everything is inline and kept in registers: it
// runs for every piece of every sample line.
class Cursor {
 public:
  explicit Cursor(std::string_view text)
      : begin_(text.data()), at_(text.data()), end_(text.data() + text.size()) {}
  bool AtEnd() const { return at_ == end_; }
  size_t Offset() const { return static_cast<size_t>(at_ - begin_); }
  void MoveTo(size_t offset) { at_ = begin_ + offset; }

  template <size_t N>
  bool Literal(const char (&literal)[N]) {
    if (static_cast<size_t>(end_ - at_) < N - 1) return false;
    for (size_t i = 0; i + 1 < N; ++i) {
      if (at_[i] != literal[i]) return false;
    }
    at_ += N - 1;
    return true;
  }

  template <size_t N>
  bool Digits(unsigned& value) {
    if (static_cast<size_t>(end_ - at_) < N) return false;
    value = 0;
    for (size_t i = 0; i < N; ++i) {
      const unsigned digit = static_cast<unsigned char>(at_[i]) - static_cast<unsigned>('0');
      if (digit > 9) return false;
      value = value * 10 + digit;
    }
    at_ += N;
    return true;
  }

  // "HH:MM:SS" on the 24-hour clock.
  bool TimeOfDay(unsigned& secondOfDay) {
    unsigned hour, minute, second;
    if (!Digits<2>(hour) || !Literal(":") || !Digits<2>(minute) || !Literal(":") ||
        !Digits<2>(second) || hour > 23 || minute > 59 || second > 59) {
      return false;
    }
    secondOfDay = hour * 3600 + minute * 60 + second;
    return true;
  }

  void SkipSpaces() {
    while (at_ != end_ && *at_ == ' ') ++at_;
  }

  // A fixed-point figure as printf's %.Nf writes it: an optional minus, digits, a
  // full stop and exactly N digits. `scaled` is the figure times 10^N, exact while
  // the whole part has up to 15 digits and held at 10^17 beyond that (a huge
  // double prints hundreds of digits).
  template <unsigned N>
  bool Fixed(double& value, int64_t& scaled, std::string_view& written) {
    constexpr std::ptrdiff_t kExactDigits = 15;
    constexpr int64_t kScaledLimit = 100000000000000000;
    const char* const start = at_;
    const bool negative = at_ != end_ && *at_ == '-';
    if (negative) ++at_;
    const char* const digits = at_;
    int64_t exact = 0;
    while (at_ != end_ && IsDigit(*at_)) {
      if (at_ - digits < kExactDigits) exact = exact * 10 + (*at_ - '0');
      ++at_;
    }
    const std::ptrdiff_t wholeDigits = at_ - digits;
    unsigned fraction = 0;
    if (wholeDigits == 0 || !Literal(".") || !Digits<N>(fraction)) return false;
    int64_t scale = 1;
    for (unsigned i = 0; i < N; ++i) scale *= 10;
    if (wholeDigits <= kExactDigits) {
      value =
          static_cast<double>(exact) + static_cast<double>(fraction) / static_cast<double>(scale);
      scaled = exact * scale + fraction;
    } else {
      value = 0;
      for (const char* c = digits; c != digits + wholeDigits; ++c) value = value * 10 + (*c - '0');
      scaled = kScaledLimit;
    }
    if (negative) {
      value = -value;
      scaled = -scaled;
    }
    written = std::string_view(start, static_cast<size_t>(at_ - start));
    return true;
  }

  bool Unsigned(uint64_t& value, std::string_view& written) {
    const char* const start = at_;
    value = 0;
    while (at_ != end_ && IsDigit(*at_)) {
      const unsigned digit = static_cast<unsigned>(*at_ - '0');
      if (value > (UINT64_MAX - digit) / 10) return false;
      value = value * 10 + digit;
      ++at_;
    }
    written = std::string_view(start, static_cast<size_t>(at_ - start));
    return at_ != start;
  }

 private:
  static bool IsDigit(char c) { return c >= '0' && c <= '9'; }

  const char* begin_;
  const char* at_;
  const char* end_;
};

enum class Piece { kLoad, kMemory, kCoreClock, kLimit, kTemperature, kBattery, kNone };

// One piece after its ", (", up to and with its closing bracket.
bool ReadPiece(Piece piece, Cursor& at, SampleLine& sample) {
  switch (piece) {
    case Piece::kLoad:
      return sample.hasLoad =
                 at.Fixed<1>(sample.load, sample.deciLoad, sample.loadText) && at.Literal("%)");
    case Piece::kMemory:
      return sample.hasMemory =
                 at.Unsigned(sample.memoryKb, sample.memoryText) && at.Literal(" K)");
    case Piece::kCoreClock:
      if (!at.Literal("core ")) return false;
      at.SkipSpaces();
      return sample.hasCoreClock =
                 at.Fixed<2>(sample.coreMhz, sample.coreCentiMhz, sample.coreText) &&
                 at.Literal(" MHz)");
    case Piece::kLimit: {
      uint64_t percent = 0;
      if (!at.Literal("limit ") || !at.Unsigned(percent, sample.limitText) ||
          percent > UINT32_MAX || !at.Literal("%)")) {
        return false;
      }
      sample.limitPercent = static_cast<uint32_t>(percent);
      return sample.hasLimit = true;
    }
    case Piece::kTemperature:
      return sample.hasTemperature =
                 at.Fixed<1>(sample.temperature, sample.deciTemperature, sample.temperatureText) &&
                 at.Literal(" C)");
    case Piece::kBattery:
      return sample.onBattery = at.Literal("on battery)");
    case Piece::kNone:
      break;
  }
  return false;
}
}  // namespace

bool ParseSampleLine(std::string_view line, SampleLine& sample) {
  Cursor at(line);
  if (!at.TimeOfDay(sample.secondOfDay) || !at.Literal(", ")) return false;
  at.SkipSpaces();
  if (!at.Fixed<2>(sample.mhz, sample.centiMhz, sample.mhzText) || !at.Literal(" MHz")) {
    return false;
  }
  sample.hasLoad = false;
  sample.hasMemory = false;
  sample.hasCoreClock = false;
  sample.hasLimit = false;
  sample.hasTemperature = false;
  sample.onBattery = false;
  if (at.AtEnd()) return true;
  if (!at.Literal(", (")) return false;
  // Each piece is optional and they come in a fixed order: a piece is looked for
  // only among those after the one before it.
  for (Piece next = Piece::kLoad;;) {
    const size_t pieceBegin = at.Offset();
    bool matched = false;
    while (!matched && next != Piece::kNone) {
      at.MoveTo(pieceBegin);
      matched = ReadPiece(next, at, sample);
      next = static_cast<Piece>(static_cast<int>(next) + 1);
    }
    if (!matched) return false;
    if (at.AtEnd()) return true;
    if (!at.Literal(", (")) return false;
  }
}

bool ParseStampedLine(std::string_view line, StampedLine& stamped) {
  const size_t colon = line.find(": ");
  if (colon == 0 || colon == std::string_view::npos) return false;
  if (line.substr(0, colon).find(':') != std::string_view::npos) return false;
  Cursor at(line);
  at.MoveTo(colon + 2);
  unsigned month, day, year;
  if (!at.Digits<2>(month) || !at.Literal("/") || !at.Digits<2>(day) || !at.Literal("/") ||
      !at.Digits<2>(year) || !at.Literal(", ") || !at.TimeOfDay(stamped.secondOfDay)) {
    return false;
  }
  stamped.year = YearOfTwoDigits(year);
  if (!IsValidDate(stamped.year, month, day)) return false;
  stamped.month = month;
  stamped.day = day;
  stamped.label = line.substr(0, colon);
  stamped.hasNote = false;
  stamped.note = {};
  if (at.AtEnd()) return true;
  const size_t noteBegin = at.Offset() + 2;
  if (!at.Literal(" (") || line.size() - noteBegin < 2 || line.back() != ')') return false;
  stamped.hasNote = true;
  stamped.note = line.substr(noteBegin, line.size() - 1 - noteBegin);
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
