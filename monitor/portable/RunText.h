// The text of the log as the program keeps it: every line since the last Start,
// each ended by a line feed. The log edit shows only its newest part.
#pragma once
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class RunText {
 public:
  void Append(std::string_view text);
  void Clear();
  size_t Size() const { return size_; }

  // Calls `visit` with each stored piece of the text, in order.
  template <typename Visit>
  void ForEachPiece(Visit&& visit) const {
    size_t left = size_;
    for (const auto& chunk : chunks_) {
      const size_t piece = left < kChunkBytes ? left : kChunkBytes;
      visit(std::string_view(chunk.get(), piece));
      left -= piece;
    }
  }
  // `bytes` bytes from `offset` on, as far as the text goes.
  std::string Slice(size_t offset, size_t bytes) const;
  // The last `bytes` bytes of the text (all of it when it is shorter).
  std::string Tail(size_t bytes) const { return Slice(bytes < size_ ? size_ - bytes : 0, bytes); }
  std::string Text() const;

 private:
  // Fixed-size chunks: growing never copies what is kept, and a million lines
  // (about 44 MB) cost less than one chunk beyond the text itself.
  static constexpr size_t kChunkBytes = size_t{64} * 1024;
  std::vector<std::unique_ptr<char[]>> chunks_;
  size_t size_ = 0;
};
