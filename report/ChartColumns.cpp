#include "report/ChartColumns.h"

#include <algorithm>

#include "report/Arithmetic.h"

namespace report {
namespace {
// Widens a figure's range in a bucket by another range, or starts it.
void Widen(bool& has, double& low, double& high, double otherLow, double otherHigh) {
  low = has ? std::min(low, otherLow) : otherLow;
  high = has ? std::max(high, otherHigh) : otherHigh;
  has = true;
}
}  // namespace

void MergeBucket(ChartBucket& into, const ChartBucket& from) {
  if (!from.used) return;
  if (!into.used) {
    into = from;
    return;
  }
  if (from.firstSeconds < into.firstSeconds) {
    into.firstSeconds = from.firstSeconds;
    into.firstRun = from.firstRun;
    into.intervalBefore = from.intervalBefore;
  }
  if (from.lastSeconds >= into.lastSeconds) {
    into.lastSeconds = from.lastSeconds;
    into.lastRun = from.lastRun;
  }
  into.mhzMin = std::min(into.mhzMin, from.mhzMin);
  into.mhzMax = std::max(into.mhzMax, from.mhzMax);
  if (from.hasLoad) Widen(into.hasLoad, into.loadMin, into.loadMax, from.loadMin, from.loadMax);
  if (from.hasMemory) {
    Widen(into.hasMemory, into.memoryMin, into.memoryMax, from.memoryMin, from.memoryMax);
  }
  if (from.hasCoreClock) {
    Widen(into.hasCoreClock, into.coreMin, into.coreMax, from.coreMin, from.coreMax);
  }
  if (from.hasLimit)
    Widen(into.hasLimit, into.limitMin, into.limitMax, from.limitMin, from.limitMax);
  into.episodes |= from.episodes;
}

int64_t ChartColumns::IndexOf(int64_t seconds) const { return FloorDiv(seconds - origin_, width_); }

void ChartColumns::Add(uint32_t run, int64_t seconds, int64_t intervalBefore,
                       const SampleLine& line) {
  // Most samples land in the bucket of the one before, later in time.
  if (last_ != nullptr && seconds >= last_->lastSeconds && seconds < lastEnd_ &&
      run == last_->lastRun) {
    ChartBucket& bucket = *last_;
    bucket.lastSeconds = seconds;
    bucket.mhzMin = std::min(bucket.mhzMin, line.mhz);
    bucket.mhzMax = std::max(bucket.mhzMax, line.mhz);
    if (line.hasLoad) {
      Widen(bucket.hasLoad, bucket.loadMin, bucket.loadMax, line.load, line.load);
      hasLoad_ = true;
    }
    if (line.hasMemory) {
      const double kb = static_cast<double>(line.memoryKb);
      Widen(bucket.hasMemory, bucket.memoryMin, bucket.memoryMax, kb, kb);
      hasMemory_ = true;
    }
    if (line.hasCoreClock) {
      Widen(bucket.hasCoreClock, bucket.coreMin, bucket.coreMax, line.coreMhz, line.coreMhz);
      hasCoreClock_ = true;
    }
    if (line.hasLimit) {
      const double limit = line.limitPercent;
      Widen(bucket.hasLimit, bucket.limitMin, bucket.limitMax, limit, limit);
      hasLimit_ = true;
    }
    return;
  }
  ChartBucket sample;
  sample.used = true;
  sample.firstSeconds = sample.lastSeconds = seconds;
  sample.firstRun = sample.lastRun = run;
  sample.intervalBefore = intervalBefore;
  sample.mhzMin = sample.mhzMax = line.mhz;
  sample.hasLoad = line.hasLoad;
  sample.loadMin = sample.loadMax = line.load;
  sample.hasMemory = line.hasMemory;
  sample.memoryMin = sample.memoryMax = static_cast<double>(line.memoryKb);
  sample.hasCoreClock = line.hasCoreClock;
  sample.coreMin = sample.coreMax = line.coreMhz;
  sample.hasLimit = line.hasLimit;
  sample.limitMin = sample.limitMax = line.limitPercent;
  hasLimit_ = hasLimit_ || line.hasLimit;
  hasLoad_ = hasLoad_ || line.hasLoad;
  hasMemory_ = hasMemory_ || line.hasMemory;
  hasCoreClock_ = hasCoreClock_ || line.hasCoreClock;

  if (buckets_.empty()) {
    origin_ = seconds;
    firstIndex_ = 0;
    buckets_.resize(1);
  }
  for (;;) {
    const int64_t index = IndexOf(seconds);
    const int64_t end = firstIndex_ + static_cast<int64_t>(buckets_.size());
    if (index >= firstIndex_ && index < end) {
      last_ = &buckets_[static_cast<size_t>(index - firstIndex_)];
      MergeBucket(*last_, sample);
      lastEnd_ = origin_ + (index + 1) * width_;
      return;
    }
    const int64_t low = std::min(index, firstIndex_);
    const int64_t high = std::max(index, end - 1);
    if (static_cast<uint64_t>(high - low) + 1 > maxBuckets_) {
      Coarsen();
      continue;
    }
    last_ = nullptr;
    if (index < firstIndex_) {
      buckets_.insert(buckets_.begin(), static_cast<size_t>(firstIndex_ - index), ChartBucket{});
      firstIndex_ = index;
    } else {
      buckets_.resize(static_cast<size_t>(index - firstIndex_ + 1));
    }
  }
}

void ChartColumns::MarkEpisode(int64_t from, int64_t to, uint8_t mark) {
  if (buckets_.empty()) return;
  const int64_t last = firstIndex_ + static_cast<int64_t>(buckets_.size()) - 1;
  const int64_t begin = std::max(IndexOf(from), firstIndex_);
  const int64_t end = std::min(IndexOf(to), last);
  for (int64_t index = begin; index <= end; ++index) {
    ChartBucket& bucket = buckets_[static_cast<size_t>(index - firstIndex_)];
    if (bucket.used) bucket.episodes |= mark;
  }
}

void ChartColumns::Coarsen() {
  std::vector<ChartBucket> merged;
  const int64_t mergedFirst = FloorDiv(firstIndex_, 2);
  merged.resize(static_cast<size_t>(
      FloorDiv(firstIndex_ + static_cast<int64_t>(buckets_.size()) - 1, 2) - mergedFirst + 1));
  for (size_t i = 0; i < buckets_.size(); ++i) {
    const int64_t index = FloorDiv(firstIndex_ + static_cast<int64_t>(i), 2);
    MergeBucket(merged[static_cast<size_t>(index - mergedFirst)], buckets_[i]);
  }
  buckets_.swap(merged);
  firstIndex_ = mergedFirst;
  width_ *= 2;
  last_ = nullptr;
}

std::vector<ChartBucket> ChartColumns::UsedBuckets() const {
  std::vector<ChartBucket> used;
  for (const ChartBucket& bucket : buckets_) {
    if (bucket.used) used.push_back(bucket);
  }
  return used;
}

}  // namespace report
