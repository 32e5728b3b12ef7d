#include "report/SummaryText.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>

#include "report/CivilTime.h"

namespace report {
namespace {
void Append(std::string& out, const char* format, ...) __attribute__((format(printf, 2, 3)));
void Append(std::string& out, const char* format, ...) {
  char text[1024];
  va_list arguments;
  va_start(arguments, format);
  const int length = std::vsnprintf(text, sizeof text, format, arguments);
  va_end(arguments);
  if (length > 0) out.append(text, std::min(static_cast<size_t>(length), sizeof text - 1));
}

const char* EndingText(RunEnding ending) {
  switch (ending) {
    case RunEnding::kStopped:
      return "stopped";
    case RunEnding::kInterrupted:
      return "ended without Stop (closed by the journal)";
    case RunEnding::kUnclosed:
      break;
  }
  return "ended without Stop (no closing line; the end is the last sample)";
}
}  // namespace

std::string SummaryText(unsigned run, const std::string& file, size_t startLine,
                        const std::string& timerNote, const RunSummary& s) {
  std::string out;
  Append(out, "Run %u (%s, line %llu; %s)\n", run, file.c_str(),
         static_cast<unsigned long long>(startLine), timerNote.c_str());
  Append(out, "  start      %s\n", DateTimeText(s.startSeconds).c_str());
  Append(out, "  end        %s, %s\n", DateTimeText(s.endSeconds).c_str(), EndingText(s.ending));
  Append(out, "  duration   %s\n", DurationText(s.endSeconds - s.startSeconds).c_str());
  Append(out, "  samples    %llu\n", static_cast<unsigned long long>(s.samples));
  if (s.intervals > 0) {
    Append(out, "  interval   median %g s\n", s.medianInterval);
    if (s.gaps > 0) {
      Append(out, "  gaps       %llu longer than %g s; longest %s from %s\n",
             static_cast<unsigned long long>(s.gaps), kGapFactor * s.medianInterval,
             DurationText(s.longestGap).c_str(), DateTimeText(s.longestGapFrom).c_str());
    } else {
      Append(out, "  gaps       none longer than %g s\n", kGapFactor * s.medianInterval);
    }
  }
  if (s.samples > 0) {
    Append(
        out,
        "  clock      min %.2f, median %.2f, max %.2f MHz; %.1f %% of samples below 95 %% of max\n",
        s.clockMin, s.clockMedian, s.clockMax, 100 * s.shareBelow95);
  }
  if (s.loadSamples > 0) {
    Append(out, "  load       min %.1f, mean %.1f, max %.1f %%\n", s.loadMin, s.loadMean,
           s.loadMax);
  }
  if (s.memorySamples > 0) {
    Append(out, "  memory     min %llu, max %llu K available\n",
           static_cast<unsigned long long>(s.memoryMin),
           static_cast<unsigned long long>(s.memoryMax));
  }
  return out;
}

}  // namespace report
