#include "monitor/portable/RunText.h"

#include <algorithm>
#include <cstring>

void RunText::Append(std::string_view text) {
  while (!text.empty()) {
    const size_t used = size_ % kChunkBytes;
    if (used == 0 && size_ == chunks_.size() * kChunkBytes) {
      // Not value-initialised: a page is touched only when a line reaches it.
      chunks_.push_back(std::unique_ptr<char[]>(new char[kChunkBytes]));
    }
    const size_t room = kChunkBytes - used;
    const size_t piece = text.size() < room ? text.size() : room;
    std::memcpy(chunks_.back().get() + used, text.data(), piece);
    size_ += piece;
    text.remove_prefix(piece);
  }
}

void RunText::Clear() {
  chunks_.clear();
  chunks_.shrink_to_fit();
  size_ = 0;
}

std::string RunText::Slice(size_t offset, size_t bytes) const {
  std::string slice;
  if (offset >= size_) return slice;
  if (bytes > size_ - offset) bytes = size_ - offset;
  slice.reserve(bytes);
  for (size_t chunk = offset / kChunkBytes; slice.size() < bytes; ++chunk) {
    const size_t from = slice.empty() ? offset % kChunkBytes : 0;
    const size_t piece = std::min(kChunkBytes - from, bytes - slice.size());
    slice.append(chunks_[chunk].get() + from, piece);
  }
  return slice;
}

std::string RunText::Text() const { return Slice(0, size_); }
