// Where a run's clock fell well below its peak, and whether the machine was busy
// then: the core clock where the run has it (the TSC clock of newer processors
// never moves), else the clock. The run is kept compactly in memory, since the
// peak is known only at its end.
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "report/LogReader.h"

namespace report {

constexpr unsigned kDefaultBelowPercent = 90;
// The run's peak is this percentile of its figure: a few spikes do not raise it.
constexpr double kPeakQuantile = 0.95;
// An episode whose median load is at least this counts as throttling.
constexpr double kUnderLoadPercent = 50;
constexpr size_t kEpisodesListed = 20;

struct Episode {
  int64_t startSeconds = 0, endSeconds = 0;  // its first and last sample
  uint64_t samples = 0;
  double lowestPercent = 0, medianPercent = 0;  // of the peak
  int64_t lowestAt = 0;
  bool hasLoad = false;
  double medianLoad = 0;
  bool throttling = true;  // under load, or the load is not logged
  bool hasLimit = false;
  uint32_t lowestLimit = 0;
  bool hasTemperature = false;
  double highestTemperature = 0;
  bool onBattery = false;  // for some of its samples
};

struct ThrottlingSummary {
  bool coreClock = false;  // the figure is the core clock, else the TSC clock
  uint64_t figureSamples = 0;
  double peakMhz = 0;
  unsigned belowPercent = kDefaultBelowPercent;
  bool hasLoad = false;             // the run logged the load
  bool loadReached = false;         // some sample's load reached kUnderLoadPercent
  uint64_t throttlingEpisodes = 0;  // all episodes when the load is not logged
  int64_t throttlingSeconds = 0;
  bool hasDeepest = false;
  Episode deepest;  // of the throttling episodes
  uint64_t lowLoadDrops = 0;
  std::vector<Episode> listed;  // the first kEpisodesListed, in time order
  uint64_t Episodes() const { return throttlingEpisodes + lowLoadDrops; }
};

using EpisodeSink = std::function<void(const Episode&)>;

class ThrottleSeries {
 public:
  void Add(const Sample& sample);
  // `peakCentiMhz` of the core clock when `coreClock`; samples without the figure
  // end an episode, as does a gap. Every episode also goes to `sink`, if given.
  ThrottlingSummary Find(bool coreClock, double peakCentiMhz, unsigned belowPercent,
                         double medianInterval, const EpisodeSink& sink) const;
  size_t Size() const { return size_; }

 private:
  // 12 bytes a sample; figures held within their field's range.
  struct Point {
    int32_t centiMhz;
    // The seconds from the sample before (17 bits: less than a day), the flags
    // (5 bits) and the limit in percent (up to 255).
    uint32_t packed;
    int16_t deciLoad;
    int16_t deciTemperature;
    uint32_t Interval() const { return packed & kIntervalMask; }
    bool Has(uint32_t flag) const { return (packed & flag) != 0; }
    uint32_t Limit() const { return packed >> kLimitShift; }
  };
  static constexpr uint32_t kIntervalMask = (1u << 17) - 1;
  static constexpr uint32_t kCoreClock = 1u << 17, kLoad = 1u << 18, kTemperature = 1u << 19,
                            kLimit = 1u << 20, kBattery = 1u << 21;
  static constexpr unsigned kLimitShift = 24;
  // Fixed blocks: a long run grows without moving what it holds.
  static constexpr size_t kBlockShift = 16;
  static constexpr size_t kBlockSize = size_t{1} << kBlockShift;

  const Point& At(size_t index) const {
    return blocks_[index >> kBlockShift][index & (kBlockSize - 1)];
  }
  Episode Describe(size_t first, size_t last, int64_t firstSeconds, double peakCentiMhz,
                   std::vector<double>& scratch) const;

  std::vector<std::unique_ptr<Point[]>> blocks_;
  size_t size_ = 0;
  int64_t firstSeconds_ = 0;
  int64_t lastSeconds_ = 0;
};

}  // namespace report
