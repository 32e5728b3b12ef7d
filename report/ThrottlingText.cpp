#include "report/ThrottlingText.h"

#include "report/AppendFormat.h"
#include "report/Arithmetic.h"
#include "report/CivilTime.h"

namespace report {
namespace {
const char* FigureName(const ThrottlingSummary& throttling) {
  return throttling.coreClock ? "core clock" : "clock";
}

void AppendCount(std::string& out, uint64_t count, const char* one, const char* many) {
  AppendFormat(out, "%llu %s", static_cast<unsigned long long>(count), count == 1 ? one : many);
}

// The Thermal monitor's pieces of an episode, comma-separated, as the log writes them.
std::string ConditionsText(const Episode& episode) {
  std::string out;
  if (episode.hasLimit)
    AppendFormat(out, "limit %lu%%", static_cast<unsigned long>(episode.lowestLimit));
  if (episode.hasTemperature) {
    AppendFormat(out, "%s%.1f C", out.empty() ? "" : ", ", episode.highestTemperature);
  }
  if (episode.onBattery) AppendFormat(out, "%son battery", out.empty() ? "" : ", ");
  return out;
}

std::string MomentText(int64_t seconds, bool timeOfDay) {
  const std::string text = DateTimeText(seconds);  // "YYYY-MM-DD HH:MM:SS"
  return timeOfDay ? text.substr(11) : text;
}

void AppendDeepest(std::string& out, const ThrottlingSummary& throttling, bool oneDay) {
  const Episode& deepest = throttling.deepest;
  AppendFormat(out, ", %s in all, deepest %.0f %% of peak at %s",
               DurationText(throttling.throttlingSeconds).c_str(), deepest.lowestPercent,
               MomentText(deepest.lowestAt, oneDay).c_str());
  const std::string conditions = ConditionsText(deepest);
  if (!conditions.empty()) AppendFormat(out, " (%s)", conditions.c_str());
}
}  // namespace

std::string VerdictText(const ThrottlingSummary& t, bool oneDay) {
  std::string out;
  const char* figure = FigureName(t);
  if (t.figureSamples < 2) {
    AppendFormat(out, "no verdict: fewer than two samples of the %s", figure);
    return out;
  }
  if (!(t.peakMhz > 0)) {
    AppendFormat(out, "no verdict: the %s's peak is not above 0 MHz", figure);
    return out;
  }
  const unsigned within = 100 - t.belowPercent;
  if (!t.hasLoad) {
    if (t.throttlingEpisodes == 0) {
      AppendFormat(out, "no throttling: the %s stayed within %u %% of its peak", figure, within);
      return out;
    }
    out = "clock drops: ";
    AppendCount(out, t.throttlingEpisodes, "episode", "episodes");
    AppendDeepest(out, t, oneDay);
    out += "; no load logged to tell throttling from power saving";
    return out;
  }
  if (t.throttlingEpisodes > 0) {
    out = "throttling: ";
    AppendCount(out, t.throttlingEpisodes, "episode under load", "episodes under load");
    AppendDeepest(out, t, oneDay);
  } else if (t.loadReached) {
    AppendFormat(out, "no throttling: under load the %s stayed within %u %% of its peak", figure,
                 within);
  } else {
    AppendFormat(out, "no verdict: the load never reached %.0f %%", kUnderLoadPercent);
  }
  if (t.lowLoadDrops > 0) {
    out += "; ";
    AppendCount(out, t.lowLoadDrops, "low-load drop", "low-load drops");
    out += " (power saving)";
  }
  return out;
}

std::string PeakText(const ThrottlingSummary& t) {
  std::string out;
  AppendFormat(out, "%s %.2f MHz (95th percentile); ", FigureName(t), t.peakMhz);
  AppendCount(out, t.Episodes(), "episode", "episodes");
  AppendFormat(out, " of two or more samples below %u %% of it", t.belowPercent);
  return out;
}

std::string EpisodeText(const Episode& e, bool runHasLoad) {
  std::string out = DateTimeText(e.startSeconds);
  const bool sameDay =
      FloorDiv(e.startSeconds, kSecondsPerDay) == FloorDiv(e.endSeconds, kSecondsPerDay);
  AppendFormat(out, " to %s, %s, %llu samples: lowest %.0f %%, median %.0f %% of peak",
               MomentText(e.endSeconds, sameDay).c_str(),
               DurationText(e.endSeconds - e.startSeconds).c_str(),
               static_cast<unsigned long long>(e.samples), e.lowestPercent, e.medianPercent);
  if (e.hasLoad) AppendFormat(out, "; load %.1f %%", e.medianLoad);
  const std::string conditions = ConditionsText(e);
  if (!conditions.empty()) AppendFormat(out, "; %s", conditions.c_str());
  if (runHasLoad) out += e.throttling ? "; throttling" : "; low-load drop (power saving)";
  return out;
}

}  // namespace report
