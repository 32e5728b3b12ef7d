// The chart's data reduced as it streams in: samples fall into time buckets whose
// width doubles whenever there would be more than `maxBuckets`, so a log of any
// length keeps a few thousand buckets, each with the minimum and maximum it saw.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "report/LogLine.h"

namespace report {

struct ChartBucket {
  bool used = false;
  int64_t firstSeconds = 0, lastSeconds = 0;
  uint32_t firstRun = 0, lastRun = 0;  // runs of the first and the last sample
  // The interval from the sample before the first one, or -1 when it opened its run.
  int64_t intervalBefore = -1;
  double mhzMin = 0, mhzMax = 0;
  bool hasLoad = false;
  double loadMin = 0, loadMax = 0;
  bool hasMemory = false;
  double memoryMin = 0, memoryMax = 0;
  bool hasCoreClock = false;
  double coreMin = 0, coreMax = 0;
  bool hasLimit = false;
  double limitMin = 0, limitMax = 0;
  uint8_t episodes = 0;  // kThrottlingMark and kLowLoadMark of episodes that reach into it
};

constexpr uint8_t kThrottlingMark = 1, kLowLoadMark = 2;

class ChartColumns {
 public:
  explicit ChartColumns(size_t maxBuckets = 4096) : maxBuckets_(maxBuckets) {}
  ChartColumns(const ChartColumns&) = delete;
  ChartColumns& operator=(const ChartColumns&) = delete;
  void Add(uint32_t run, int64_t seconds, int64_t intervalBefore, const SampleLine& line);
  // Marks the buckets with samples from `from` to `to`, after they were added.
  void MarkEpisode(int64_t from, int64_t to, uint8_t mark);
  // The buckets that hold samples, earliest first.
  std::vector<ChartBucket> UsedBuckets() const;
  bool Empty() const { return buckets_.empty(); }
  bool HasLoad() const { return hasLoad_; }
  bool HasMemory() const { return hasMemory_; }
  bool HasCoreClock() const { return hasCoreClock_; }
  bool HasLimit() const { return hasLimit_; }
  int64_t BucketSeconds() const { return width_; }

 private:
  int64_t IndexOf(int64_t seconds) const;
  void Coarsen();

  size_t maxBuckets_;
  int64_t origin_ = 0;
  int64_t width_ = 1;
  int64_t firstIndex_ = 0;
  std::vector<ChartBucket> buckets_;
  bool hasLoad_ = false, hasMemory_ = false, hasCoreClock_ = false, hasLimit_ = false;
  // The bucket the last sample went to, and where its time ends.
  ChartBucket* last_ = nullptr;
  int64_t lastEnd_ = 0;
};

// Folds `from` into `into`: minima, maxima, and which sample came first and last.
void MergeBucket(ChartBucket& into, const ChartBucket& from);

}  // namespace report
