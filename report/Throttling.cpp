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
  const size_t place = size_ & (kBlockSize - 1);
  if (place == 0) {
    blocks_.emplace_back(new Point[kBlockSize]);
    thermal_.emplace_back();
  }
  uint64_t bits = 0;
  if (size_ == 0) {
    firstSeconds_ = sample.seconds;
  } else {
    bits = std::min<uint64_t>(HeldWithin<uint32_t>(sample.seconds - lastSeconds_), kIntervalMask)
           << kIntervalShift;
  }
  lastSeconds_ = sample.seconds;
  const int64_t figure = line.hasCoreClock ? line.coreCentiMhz : line.centiMhz;
  bits |= static_cast<uint64_t>(std::max<int64_t>(0, std::min<int64_t>(figure, kFigureMask)));
  if (line.hasCoreClock) bits |= kCoreClock;
  if (line.hasLoad) {
    const int64_t load = std::max<int64_t>(0, std::min<int64_t>(line.deciLoad, kLoadMask));
    bits |= kLoad | static_cast<uint64_t>(load) << kLoadShift;
  }
  if (line.onBattery) bits |= kBattery;
  if (line.hasTemperature || line.hasLimit) {
    std::unique_ptr<Thermal[]>& block = thermal_.back();
    if (block == nullptr) block.reset(new Thermal[kBlockSize]);
    Thermal& thermal = block[place];
    if (line.hasTemperature) {
      bits |= kTemperature;
      thermal.deciTemperature = HeldWithin<int16_t>(line.deciTemperature);
    }
    if (line.hasLimit) {
      bits |= kLimit;
      thermal.limit = static_cast<uint8_t>(std::min<uint32_t>(line.limitPercent, 255));
    }
  }
  blocks_.back()[place].bits = bits;
  ++size_;
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
      summary.loadReached = summary.loadReached || point.DeciLoad() >= kUnderLoadPercent * 10;
    }
    const bool low = hasFigure && peakCentiMhz > 0 && point.CentiMhz() < threshold;
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
  uint32_t lowest = At(first).CentiMhz();
  episode.lowestAt = firstSeconds;
  scratch.clear();
  for (size_t i = first; i <= last; ++i) {
    const Point& point = At(i);
    if (i > first) seconds += point.Interval();
    if (point.CentiMhz() < lowest) {
      lowest = point.CentiMhz();
      episode.lowestAt = seconds;
    }
    scratch.push_back(point.CentiMhz());
    if (point.Has(kLimit)) {
      episode.lowestLimit = episode.hasLimit
                                ? std::min<uint32_t>(episode.lowestLimit, ThermalAt(i).limit)
                                : ThermalAt(i).limit;
      episode.hasLimit = true;
    }
    if (point.Has(kTemperature)) {
      const double temperature = ThermalAt(i).deciTemperature / 10.0;
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
    if (At(i).Has(kLoad)) scratch.push_back(At(i).DeciLoad() / 10.0);
  }
  if (!scratch.empty()) {
    episode.hasLoad = true;
    episode.medianLoad = MedianOf(scratch);
    episode.throttling = episode.medianLoad >= kUnderLoadPercent;
  }
  return episode;
}

}  // namespace report
