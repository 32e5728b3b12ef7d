#include "report/RunStatistics.h"

#include <algorithm>
#include <cmath>

namespace report {
namespace {
// A coarse bin stands for its middle, which may lie beyond the values seen.
double MedianWithin(const Histogram& centiMhz, double low, double high) {
  return std::max(low, std::min(high, centiMhz.Median() / 100));
}
}  // namespace

bool IsGap(int64_t interval, double medianInterval) {
  return static_cast<double>(interval) > kGapFactor * medianInterval;
}

RunStatistics::RunStatistics(int64_t startSeconds, unsigned belowPercent)
    : lastSeconds_(startSeconds), belowPercent_(belowPercent) {
  summary_.startSeconds = startSeconds;
}

void RunStatistics::Add(const Sample& sample) {
  const SampleLine& line = *sample.line;
  if (summary_.samples > 0) {
    const int64_t interval = sample.seconds - lastSeconds_;
    intervalSeconds_.Add(interval);
    if (interval > longestInterval_) {
      longestInterval_ = interval;
      longestIntervalFrom_ = lastSeconds_;
    }
  }
  lastSeconds_ = sample.seconds;
  series_.Add(sample);
  if (summary_.samples == 0 || line.mhz < summary_.clockMin) summary_.clockMin = line.mhz;
  if (summary_.samples == 0 || line.mhz > summary_.clockMax) summary_.clockMax = line.mhz;
  ++summary_.samples;
  if (summary_.samples == 1 || line.centiMhz > clockMaxCenti_) clockMaxCenti_ = line.centiMhz;
  clockCentiMhz_.Add(line.centiMhz);
  if (line.hasLoad) {
    if (summary_.loadSamples == 0 || line.load < summary_.loadMin) summary_.loadMin = line.load;
    if (summary_.loadSamples == 0 || line.load > summary_.loadMax) summary_.loadMax = line.load;
    ++summary_.loadSamples;
    loadSum_ += line.load;
  }
  if (line.hasMemory) {
    const uint64_t kb = line.memoryKb;
    if (summary_.memorySamples == 0 || kb < summary_.memoryMin) summary_.memoryMin = kb;
    if (summary_.memorySamples == 0 || kb > summary_.memoryMax) summary_.memoryMax = kb;
    ++summary_.memorySamples;
  }
  if (line.hasCoreClock) {
    if (summary_.coreSamples == 0 || line.coreMhz < summary_.coreMin) {
      summary_.coreMin = line.coreMhz;
    }
    if (summary_.coreSamples == 0 || line.coreMhz > summary_.coreMax) {
      summary_.coreMax = line.coreMhz;
    }
    ++summary_.coreSamples;
    coreCentiMhz_.Add(line.coreCentiMhz);
  }
}

RunSummary RunStatistics::Finish(const RunEnd& end, const EpisodeSink& sink) const {
  RunSummary summary = summary_;
  summary.ending = end.ending;
  summary.endSeconds = end.hasClosingTime ? end.closingSeconds : lastSeconds_;
  summary.intervals = intervalSeconds_.Count();
  if (summary.intervals > 0) {
    summary.medianInterval = intervalSeconds_.Median();
    summary.gaps = intervalSeconds_.CountAbove(kGapFactor * summary.medianInterval);
    if (summary.gaps > 0) {
      summary.longestGap = longestInterval_;
      summary.longestGapFrom = longestIntervalFrom_;
    }
  }
  if (summary.samples > 0) {
    summary.clockMedian = MedianWithin(clockCentiMhz_, summary.clockMin, summary.clockMax);
    const double limit = 0.95 * static_cast<double>(clockMaxCenti_);
    summary.shareBelow95 = static_cast<double>(clockCentiMhz_.CountBelow(limit)) /
                           static_cast<double>(summary.samples);
  }
  if (summary.coreSamples > 0) {
    summary.coreMedian = MedianWithin(coreCentiMhz_, summary.coreMin, summary.coreMax);
  }
  if (summary.loadSamples > 0)
    summary.loadMean = loadSum_ / static_cast<double>(summary.loadSamples);
  const bool core = summary.coreSamples > 0;
  const double peak = (core ? coreCentiMhz_ : clockCentiMhz_).Quantile(kPeakQuantile);
  summary.throttling = series_.Find(core, peak, belowPercent_, summary.medianInterval, sink);
  return summary;
}

}  // namespace report
