#include "report/CoreClockScan.h"

#include <algorithm>
#include <cstddef>
#include <memory>
#include <string_view>

#include "report/LogLine.h"

namespace report {
namespace {
constexpr size_t kBlockSize = 1 << 20;

// A text that only its own piece has in a sample line, starting with a letter no
// other piece has, so the search runs through whole blocks; only the lines
// around a hit are parsed.
struct Mark {
  std::string_view text;
  bool LoggedPieces::*logged;
  bool SampleLine::*has;
};
constexpr Mark kMarks[] = {
    {"core ", &LoggedPieces::coreClock, &SampleLine::hasCoreClock},
    {"limit ", &LoggedPieces::limit, &SampleLine::hasLimit},
    {"C)", &LoggedPieces::temperature, &SampleLine::hasTemperature},
    {"battery)", &LoggedPieces::battery, &SampleLine::onBattery},
};

bool AllFound(const LoggedPieces& found, const LoggedPieces& wanted) {
  for (const Mark& mark : kMarks) {
    if (wanted.*mark.logged && !(found.*mark.logged)) return false;
  }
  return true;
}
}  // namespace

LoggedPieces FindPieces(std::FILE* file, LoggedPieces wanted) {
  constexpr size_t kNone = std::string_view::npos;
  LoggedPieces found;
  std::vector<char> block(kBlockSize);
  size_t kept = 0;       // the unfinished last line of the block before
  bool midLine = false;  // the block starts inside a line longer than a block
  SampleLine sample;
  while (!AllFound(found, wanted)) {
    const size_t got = std::fread(block.data() + kept, 1, block.size() - kept, file);
    if (got == 0 && std::ferror(file)) return LoggedPieces{};
    const std::string_view text(block.data(), kept + got);
    const size_t lastFeed = text.rfind('\n');
    const bool full = text.size() == block.size();
    // Whole lines only, unless the file ends here or one line fills the block.
    size_t whole = 0;
    if (got == 0 || (lastFeed == kNone && full)) {
      whole = text.size();
    } else if (lastFeed != kNone) {
      whole = lastFeed + 1;
    }
    for (const Mark& mark : kMarks) {
      if (!(wanted.*mark.logged) || found.*mark.logged) continue;
      for (size_t hit = text.find(mark.text); hit < whole && !(found.*mark.logged);
           hit = text.find(mark.text, hit + mark.text.size())) {
        const size_t feedBefore = text.rfind('\n', hit);
        const size_t begin = feedBefore == kNone ? 0 : feedBefore + 1;
        const size_t feedAfter = text.find('\n', hit);
        std::string_view line = text.substr(begin, feedAfter == kNone ? kNone : feedAfter - begin);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (!(midLine && begin == 0) && ParseSampleLine(line, sample) && sample.*mark.has) {
          found.*mark.logged = true;
        }
      }
    }
    if (got == 0) break;
    if (whole > 0) midLine = lastFeed == kNone;
    kept = text.size() - whole;
    std::copy(block.begin() + static_cast<std::ptrdiff_t>(whole),
              block.begin() + static_cast<std::ptrdiff_t>(text.size()), block.begin());
  }
  return found;
}

LoggedPieces PiecesInLogs(const std::vector<std::string>& paths) {
  const LoggedPieces all{true, true, true, true};
  LoggedPieces found;
  for (const std::string& path : paths) {
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"),
                                                               std::fclose);
    if (file == nullptr) continue;
    LoggedPieces wanted;
    for (const Mark& mark : kMarks) wanted.*mark.logged = !(found.*mark.logged);
    const LoggedPieces more = FindPieces(file.get(), wanted);
    for (const Mark& mark : kMarks) found.*mark.logged = found.*mark.logged || more.*mark.logged;
    if (AllFound(found, all)) break;
  }
  return found;
}

bool HasCoreClockLine(std::FILE* file) {
  LoggedPieces wanted;
  wanted.coreClock = true;
  return FindPieces(file, wanted).coreClock;
}

bool AnyLogHasCoreClock(const std::vector<std::string>& paths) {
  return PiecesInLogs(paths).coreClock;
}

}  // namespace report
