#include "report/Throttling.h"

#include <algorithm>
#include <limits>

#include "report/RunStatistics.h"

namespace report {
namespace {
template <typename Field, typename Value>
Field HeldWithin(Value value) {
  constexpr Field kLow = std::numeric_limits<Field>::min();
  constexpr Field kHigh = std::numeric_limits<Field>::max();
  if (!(value > static_cast<Value>(kLow))) return kLow;
  if (!(value < static_cast<Value>(kHigh))) return kHigh;
  return static_cast<Field>(value);
}

// The middle value, or the mean of the two middle ones; reorders `values`.
double MedianOf(std::vector<double>& values) {
  const auto middle = values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2);
  std::nth_element(values.begin(), middle, values.end());
  if (values.size() % 2 == 1) return *middle;
  return (*middle + *std::max_element(values.begin(), middle)) / 2;
}
}  // namespace

void ThrottleSeries::Add(const Sample& sample) {
  const SampleLine& line = *sample.line;
  if ((size_ & (kBlockSize - 1)) == 0) blocks_.emplace_back(new Point[kBlockSize]);
  Point& point = blocks_.back()[size_ & (kBlockSize - 1)];
  uint32_t packed = 0;
  if (size_ == 0) {
    firstSeconds_ = sample.seconds;
  } else {
    packed = std::min<uint32_t>(HeldWithin<uint32_t>(sample.seconds - lastSeconds_), kIntervalMask);
  }
  ++size_;
  lastSeconds_ = sample.seconds;
  point.centiMhz = HeldWithin<int32_t>(line.hasCoreClock ? line.coreCentiMhz : line.centiMhz);
  if (line.hasCoreClock) packed |= kCoreClock;
  point.deciLoad = 0;
  if (line.hasLoad) {
    packed |= kLoad;
    point.deciLoad = HeldWithin<int16_t>(line.deciLoad);
  }
  point.deciTemperature = 0;
  if (line.hasTemperature) {
    packed |= kTemperature;
    point.deciTemperature = HeldWithin<int16_t>(line.deciTemperature);
  }
  if (line.hasLimit) {
    packed |= kLimit | std::min<uint32_t>(line.limitPercent, 255) << kLimitShift;
  }
  if (line.onBattery) packed |= kBattery;
  point.packed = packed;
}

ThrottlingSummary ThrottleSeries::Find(bool coreClock, double peakCentiMhz, unsigned belowPercent,
                                       double medianInterval, const EpisodeSink& sink) const {
  ThrottlingSummary summary;
  summary.coreClock = coreClock;
  summary.peakMhz = peakCentiMhz / 100;
  summary.belowPercent = belowPercent;
  const double threshold = peakCentiMhz * belowPercent / 100;
  std::vector<double> scratch;
  constexpr size_t kClosed = SIZE_MAX;
  size_t open = kClosed;
  int64_t openSeconds = 0;
  auto close = [&](size_t last) {
    if (last > open) {
      const Episode episode = Describe(open, last, openSeconds, peakCentiMhz, scratch);
      if (episode.throttling) {
        ++summary.throttlingEpisodes;
        summary.throttlingSeconds += episode.endSeconds - episode.startSeconds;
        if (!summary.hasDeepest || episode.lowestPercent < summary.deepest.lowestPercent) {
          summary.deepest = episode;
          summary.hasDeepest = true;
        }
      } else {
        ++summary.lowLoadDrops;
      }
      if (summary.listed.size() < kEpisodesListed) summary.listed.push_back(episode);
      if (sink) sink(episode);
    }
    open = kClosed;
  };
  int64_t seconds = firstSeconds_;
  for (size_t i = 0; i < size_; ++i) {
    const Point& point = At(i);
    seconds += point.Interval();
    const bool hasFigure = !coreClock || point.Has(kCoreClock);
    if (hasFigure) ++summary.figureSamples;
    if (point.Has(kLoad)) {
      summary.hasLoad = true;
      summary.loadReached = summary.loadReached || point.deciLoad >= kUnderLoadPercent * 10;
    }
    const bool low = hasFigure && peakCentiMhz > 0 && point.centiMhz < threshold;
    if (open != kClosed && (!low || IsGap(point.Interval(), medianInterval))) close(i - 1);
    if (low && open == kClosed) {
      open = i;
      openSeconds = seconds;
    }
  }
  if (open != kClosed) close(size_ - 1);
  return summary;
}

Episode ThrottleSeries::Describe(size_t first, size_t last, int64_t firstSeconds,
                                 double peakCentiMhz, std::vector<double>& scratch) const {
  Episode episode;
  episode.startSeconds = firstSeconds;
  episode.samples = last - first + 1;
  int64_t seconds = firstSeconds;
  int32_t lowest = At(first).centiMhz;
  episode.lowestAt = firstSeconds;
  scratch.clear();
  for (size_t i = first; i <= last; ++i) {
    const Point& point = At(i);
    if (i > first) seconds += point.Interval();
    if (point.centiMhz < lowest) {
      lowest = point.centiMhz;
      episode.lowestAt = seconds;
    }
    scratch.push_back(point.centiMhz);
    if (point.Has(kLimit)) {
      episode.lowestLimit =
          episode.hasLimit ? std::min(episode.lowestLimit, point.Limit()) : point.Limit();
      episode.hasLimit = true;
    }
    if (point.Has(kTemperature)) {
      const double temperature = point.deciTemperature / 10.0;
      episode.highestTemperature =
          episode.hasTemperature ? std::max(episode.highestTemperature, temperature) : temperature;
      episode.hasTemperature = true;
    }
    episode.onBattery = episode.onBattery || point.Has(kBattery);
  }
  episode.endSeconds = seconds;
  episode.lowestPercent = 100 * lowest / peakCentiMhz;
  episode.medianPercent = 100 * MedianOf(scratch) / peakCentiMhz;
  scratch.clear();
  for (size_t i = first; i <= last; ++i) {
    if (At(i).Has(kLoad)) scratch.push_back(At(i).deciLoad / 10.0);
  }
  if (!scratch.empty()) {
    episode.hasLoad = true;
    episode.medianLoad = MedianOf(scratch);
    episode.throttling = episode.medianLoad >= kUnderLoadPercent;
  }
  return episode;
}

}  // namespace report
