#include "report/SummaryText.h"

#include <algorithm>
#include <cstdio>

#include "report/AppendFormat.h"
#include "report/Arithmetic.h"
#include "report/CivilTime.h"
#include "report/ThrottlingText.h"

namespace report {
namespace {

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
  AppendFormat(out, "Run %u (%s, line %llu; %s)\n", run, file.c_str(),
               static_cast<unsigned long long>(startLine), timerNote.c_str());
  const ThrottlingSummary& t = s.throttling;
  const bool oneDay =
      FloorDiv(s.startSeconds, kSecondsPerDay) == FloorDiv(s.endSeconds, kSecondsPerDay);
  AppendFormat(out, "  %s\n", VerdictText(t, oneDay).c_str());
  AppendFormat(out, "  start      %s\n", DateTimeText(s.startSeconds).c_str());
  AppendFormat(out, "  end        %s, %s\n", DateTimeText(s.endSeconds).c_str(),
               EndingText(s.ending));
  AppendFormat(out, "  duration   %s\n", DurationText(s.endSeconds - s.startSeconds).c_str());
  AppendFormat(out, "  samples    %llu\n", static_cast<unsigned long long>(s.samples));
  if (s.intervals > 0) {
    AppendFormat(out, "  interval   median %g s\n", s.medianInterval);
    if (s.gaps > 0) {
      AppendFormat(out, "  gaps       %llu longer than %g s; longest %s from %s\n",
                   static_cast<unsigned long long>(s.gaps), kGapFactor * s.medianInterval,
                   DurationText(s.longestGap).c_str(), DateTimeText(s.longestGapFrom).c_str());
    } else {
      AppendFormat(out, "  gaps       none longer than %g s\n", kGapFactor * s.medianInterval);
    }
  }
  if (s.samples > 0) {
    AppendFormat(
        out,
        "  clock      min %.2f, median %.2f, max %.2f MHz; %.1f %% of samples below 95 %% of max\n",
        s.clockMin, s.clockMedian, s.clockMax, 100 * s.shareBelow95);
  }
  if (s.coreSamples > 0) {
    AppendFormat(out, "  core clock min %.2f, median %.2f, max %.2f MHz\n", s.coreMin, s.coreMedian,
                 s.coreMax);
  }
  if (s.loadSamples > 0) {
    AppendFormat(out, "  load       min %.1f, mean %.1f, max %.1f %%\n", s.loadMin, s.loadMean,
                 s.loadMax);
  }
  if (s.memorySamples > 0) {
    AppendFormat(out, "  memory     min %llu, max %llu K available\n",
                 static_cast<unsigned long long>(s.memoryMin),
                 static_cast<unsigned long long>(s.memoryMax));
  }
  if (t.figureSamples >= 2 && t.peakMhz > 0) {
    AppendFormat(out, "  peak       %s\n", PeakText(t).c_str());
    for (const Episode& episode : t.listed) {
      AppendFormat(out, "  episode    %s\n", EpisodeText(episode, t.hasLoad).c_str());
    }
    if (t.Episodes() > t.listed.size()) {
      AppendFormat(out, "  episode    ... and %llu more\n",
                   static_cast<unsigned long long>(t.Episodes() - t.listed.size()));
    }
  }
  return out;
}

}  // namespace report
