// Counts of whole-numbered values in bounded memory: exact while the values span
// at most `maxBins`, then in steps ten times as coarse, as often as needed.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace report {

class Histogram {
 public:
  explicit Histogram(size_t maxBins = size_t{1} << 19) : maxBins_(maxBins) {}
  void Add(int64_t value) {
    // The common case inline: the bin is there already, and mostly the step is 1.
    const int64_t bin = step_ == 1 ? value : BinOf(value);
    const uint64_t offset = static_cast<uint64_t>(bin) - static_cast<uint64_t>(firstBin_);
    if (offset < counts_.size()) {
      ++count_;
      ++counts_[static_cast<size_t>(offset)];
      return;
    }
    AddToNewBin(value);
  }
  uint64_t Count() const { return count_; }
  // The middle value (the mean of the two middle ones for an even count), to the
  // histogram's step; 0 when empty.
  double Median() const;
  // The value with `share` of all at or below it (nearest rank), to the step; 0 when empty.
  double Quantile(double share) const;
  // How many values are below `limit` (to the step: a bin counts when its
  // lowest value is below the limit).
  uint64_t CountBelow(double limit) const;
  uint64_t CountAbove(double limit) const;
  int64_t Step() const { return step_; }

 private:
  int64_t BinOf(int64_t value) const;
  void AddToNewBin(int64_t value);
  double ValueOfBin(size_t index) const;
  // The value at the given place (0-based) in sorted order.
  double ValueAt(uint64_t place) const;
  void Coarsen();

  size_t maxBins_;
  int64_t step_ = 1;
  int64_t firstBin_ = 0;
  std::vector<uint64_t> counts_;
  uint64_t count_ = 0;
};

}  // namespace report
