// The figures of one run, gathered sample by sample in bounded memory.
#pragma once
#include <cstdint>

#include "report/Histogram.h"
#include "report/LogReader.h"
#include "report/Throttling.h"

namespace report {

struct RunSummary {
  int64_t startSeconds = 0;
  int64_t endSeconds = 0;
  RunEnding ending = RunEnding::kUnclosed;
  uint64_t samples = 0;
  // Between consecutive samples (the start delay before the first is not one).
  uint64_t intervals = 0;
  double medianInterval = 0;
  uint64_t gaps = 0;  // intervals longer than 1.5 x the median
  int64_t longestGap = 0;
  int64_t longestGapFrom = 0;  // the sample before the longest gap
  double clockMin = 0, clockMedian = 0, clockMax = 0;
  double shareBelow95 = 0;  // of the samples, below 95 % of the run's maximum
  uint64_t loadSamples = 0;
  double loadMin = 0, loadMean = 0, loadMax = 0;
  uint64_t memorySamples = 0;
  uint64_t memoryMin = 0, memoryMax = 0;
  uint64_t coreSamples = 0;
  double coreMin = 0, coreMedian = 0, coreMax = 0;
  ThrottlingSummary throttling;
};

// Longer than this many median intervals is a gap.
constexpr double kGapFactor = 1.5;
bool IsGap(int64_t interval, double medianInterval);

class RunStatistics {
 public:
  explicit RunStatistics(int64_t startSeconds, unsigned belowPercent = kDefaultBelowPercent);
  void Add(const Sample& sample);
  // Every episode of the run also goes to `sink`, if given.
  RunSummary Finish(const RunEnd& end, const EpisodeSink& sink = {}) const;
  int64_t LastSampleSeconds() const { return lastSeconds_; }
  uint64_t Samples() const { return summary_.samples; }

 private:
  RunSummary summary_;
  Histogram clockCentiMhz_;
  Histogram coreCentiMhz_;
  Histogram intervalSeconds_;
  int64_t lastSeconds_ = 0;
  int64_t longestInterval_ = -1;
  int64_t longestIntervalFrom_ = 0;
  double loadSum_ = 0;
  int64_t clockMaxCenti_ = 0;
  unsigned belowPercent_;
  ThrottleSeries series_;
};

}  // namespace report
