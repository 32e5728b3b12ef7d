#include "report/CoreClockScan.h"

#include <algorithm>
#include <cstddef>
#include <string_view>

#include "report/LogLine.h"

namespace report {
namespace {
constexpr size_t kBlockSize = 1 << 20;
}  // namespace

bool HasCoreClockLine(std::FILE* file) {
  // No other piece of a sample line has a 'c': the search runs through whole
  // blocks, and only the lines around a hit are parsed.
  constexpr std::string_view kMark = "core ";
  constexpr size_t kNone = std::string_view::npos;
  std::vector<char> block(kBlockSize);
  size_t kept = 0;       // the unfinished last line of the block before
  bool midLine = false;  // the block starts inside a line longer than a block
  SampleLine sample;
  for (;;) {
    const size_t got = std::fread(block.data() + kept, 1, block.size() - kept, file);
    if (got == 0 && std::ferror(file)) return false;
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
    for (size_t hit = text.find(kMark); hit < whole; hit = text.find(kMark, hit + kMark.size())) {
      const size_t feedBefore = text.rfind('\n', hit);
      const size_t begin = feedBefore == kNone ? 0 : feedBefore + 1;
      const size_t feedAfter = text.find('\n', hit);
      std::string_view line = text.substr(begin, feedAfter == kNone ? kNone : feedAfter - begin);
      if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
      if (!(midLine && begin == 0) && ParseSampleLine(line, sample) && sample.hasCoreClock) {
        return true;
      }
    }
    if (got == 0) return false;
    if (whole > 0) midLine = lastFeed == kNone;
    kept = text.size() - whole;
    std::copy(block.begin() + static_cast<std::ptrdiff_t>(whole),
              block.begin() + static_cast<std::ptrdiff_t>(text.size()), block.begin());
  }
}

bool AnyLogHasCoreClock(const std::vector<std::string>& paths) {
  for (const std::string& path : paths) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) continue;
    const bool found = HasCoreClockLine(file);
    std::fclose(file);
    if (found) return true;
  }
  return false;
}

}  // namespace report
