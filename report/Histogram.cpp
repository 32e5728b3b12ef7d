#include "report/Histogram.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "report/Arithmetic.h"

namespace report {

int64_t Histogram::BinOf(int64_t value) const { return FloorDiv(value, step_); }

double Histogram::ValueOfBin(size_t index) const {
  // A coarse bin stands for the middle of the values it holds.
  const double low =
      static_cast<double>(firstBin_ + static_cast<int64_t>(index)) * static_cast<double>(step_);
  return step_ == 1 ? low : low + static_cast<double>(step_ - 1) / 2;
}

void Histogram::AddToNewBin(int64_t value) {
  ++count_;
  for (;;) {
    const int64_t bin = BinOf(value);
    if (counts_.empty()) {
      firstBin_ = bin;
      counts_.assign(1, 0);
    }
    if (bin >= firstBin_ && bin - firstBin_ < static_cast<int64_t>(counts_.size())) {
      ++counts_[static_cast<size_t>(bin - firstBin_)];
      return;
    }
    const int64_t low = bin < firstBin_ ? bin : firstBin_;
    const int64_t high =
        bin < firstBin_ ? firstBin_ + static_cast<int64_t>(counts_.size()) - 1 : bin;
    // Unsigned: the span of two far-apart 64-bit values can exceed the signed range.
    const uint64_t span = static_cast<uint64_t>(high) - static_cast<uint64_t>(low) + 1;
    if (span > maxBins_) {
      Coarsen();
      continue;
    }
    if (bin < firstBin_) {
      // Room to spare below, so values that keep falling do not move the bins each time.
      const uint64_t spare = std::min<uint64_t>(counts_.size(), maxBins_ - span);
      const int64_t newFirst = bin - static_cast<int64_t>(spare);
      counts_.insert(counts_.begin(), static_cast<size_t>(firstBin_ - newFirst), 0);
      firstBin_ = newFirst;
    } else {
      counts_.resize(static_cast<size_t>(bin - firstBin_ + 1), 0);
    }
  }
}

void Histogram::Coarsen() {
  const int64_t coarser = step_ > std::numeric_limits<int64_t>::max() / 10
                              ? std::numeric_limits<int64_t>::max()
                              : step_ * 10;
  std::vector<uint64_t> merged;
  int64_t mergedFirst = 0;
  for (size_t i = 0; i < counts_.size(); ++i) {
    const int64_t value = (firstBin_ + static_cast<int64_t>(i)) * step_;
    const int64_t bin = FloorDiv(value, coarser);
    if (merged.empty()) mergedFirst = bin;
    merged.resize(static_cast<size_t>(bin - mergedFirst + 1), 0);
    merged[static_cast<size_t>(bin - mergedFirst)] += counts_[i];
  }
  counts_.swap(merged);
  firstBin_ = mergedFirst;
  step_ = coarser;
}

double Histogram::ValueAt(uint64_t place) const {
  uint64_t seen = 0;
  for (size_t i = 0; i < counts_.size(); ++i) {
    seen += counts_[i];
    if (seen > place) return ValueOfBin(i);
  }
  return 0;
}

double Histogram::Median() const {
  if (count_ == 0) return 0;
  if (count_ % 2 == 1) return ValueAt(count_ / 2);
  return (ValueAt(count_ / 2 - 1) + ValueAt(count_ / 2)) / 2;
}

double Histogram::Quantile(double share) const {
  if (count_ == 0) return 0;
  const double rank = std::ceil(share * static_cast<double>(count_));
  const uint64_t place = rank < 1 ? 0 : std::min(count_, static_cast<uint64_t>(rank)) - 1;
  return ValueAt(place);
}

uint64_t Histogram::CountBelow(double limit) const {
  uint64_t below = 0;
  for (size_t i = 0; i < counts_.size(); ++i) {
    const double low =
        static_cast<double>(firstBin_ + static_cast<int64_t>(i)) * static_cast<double>(step_);
    if (!(low < limit)) break;
    below += counts_[i];
  }
  return below;
}

uint64_t Histogram::CountAbove(double limit) const {
  uint64_t above = 0;
  for (size_t i = counts_.size(); i-- > 0;) {
    const double high =
        static_cast<double>(firstBin_ + static_cast<int64_t>(i)) * static_cast<double>(step_) +
        static_cast<double>(step_ - 1);
    if (!(high > limit)) break;
    above += counts_[i];
  }
  return above;
}

}  // namespace report
