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
  // 8 bytes a sample, and 4 more in the blocks that have the Thermal monitor's
  // pieces. Figures are held within their field's range, far beyond what a
  // processor shows: 1.3 THz, a day between samples, a load of 102.3 %.
  struct Point {
    uint64_t bits;
    uint32_t CentiMhz() const { return static_cast<uint32_t>(bits & kFigureMask); }
    uint32_t Interval() const {
      return static_cast<uint32_t>(bits >> kIntervalShift & kIntervalMask);
    }
    uint32_t DeciLoad() const { return static_cast<uint32_t>(bits >> kLoadShift & kLoadMask); }
    bool Has(uint64_t flag) const { return (bits & flag) != 0; }
  };
  struct Thermal {
    int16_t deciTemperature;
    uint8_t limit;
  };
  static constexpr uint64_t kFigureMask = (uint64_t{1} << 27) - 1;
  static constexpr unsigned kIntervalShift = 27;
  static constexpr uint64_t kIntervalMask = (uint64_t{1} << 17) - 1;
  static constexpr unsigned kLoadShift = 44;
  static constexpr uint64_t kLoadMask = (uint64_t{1} << 10) - 1;
  static constexpr uint64_t kCoreClock = uint64_t{1} << 54, kLoad = uint64_t{1} << 55,
                            kTemperature = uint64_t{1} << 56, kLimit = uint64_t{1} << 57,
                            kBattery = uint64_t{1} << 58;
  // Fixed blocks: a long run grows without moving what it holds.
  static constexpr size_t kBlockShift = 16;
  static constexpr size_t kBlockSize = size_t{1} << kBlockShift;

  const Point& At(size_t index) const {
    return blocks_[index >> kBlockShift][index & (kBlockSize - 1)];
  }
  // Only for a point with a temperature or a limit.
  const Thermal& ThermalAt(size_t index) const {
    return thermal_[index >> kBlockShift][index & (kBlockSize - 1)];
  }
  Episode Describe(size_t first, size_t last, int64_t firstSeconds, double peakCentiMhz,
                   std::vector<double>& scratch) const;

  std::vector<std::unique_ptr<Point[]>> blocks_;
  std::vector<std::unique_ptr<Thermal[]>> thermal_;  // null for blocks without the pieces
  size_t size_ = 0;
  int64_t firstSeconds_ = 0;
  int64_t lastSeconds_ = 0;
};

}  // namespace report
