#include "monitor/portable/LogWindow.h"

#include "monitor/portable/JournalText.h"

LogWindowBounds LogWindowBoundsFor(bool ntFamily) {
  constexpr size_t kKb = 1024;
  // The 95 family's multi-line edit holds at most 64 KB: half of it is about
  // 700 lines of a sample with load and memory.
  constexpr LogWindowBounds k95Family{32 * kKb, 28 * kKb};
  // Under Wine an append costs more the more lines the edit holds (0.4 ms at
  // 1,000 lines of a sample with load and memory, 0.85 ms at 4,000, 217 ms at a
  // million): 128 to 160 KB (2,900 to 3,600 such lines) keeps it within about
  // twice its cost at 1,000 lines. Cutting the oldest lines costs a few
  // milliseconds, as the edit measures only what changed.
  constexpr LogWindowBounds kNt{160 * kKb, 128 * kKb};
  return ntFamily ? kNt : k95Family;
}

size_t LogWindow::Append(std::string_view text, const LogWindowBounds& bounds) {
  for (size_t at = text.find('\n'); at != std::string_view::npos; at = text.find('\n', at + 1)) {
    lineStarts_.push_back(end_ + at + 1);
  }
  end_ += text.size();
  if (ShownChars() + kNoteMostChars <= bounds.mostChars) return 0;
  // Whole lines leave, the oldest first; a last line longer than the bound stays alone.
  const size_t before = start_;
  while (!lineStarts_.empty() && ShownChars() > bounds.keptChars) {
    start_ = lineStarts_.front();
    lineStarts_.pop_front();
  }
  return start_ - before;
}

void LogWindow::Clear() {
  start_ = end_ = 0;
  lineStarts_.clear();
}

std::string WindowText(const std::string& note, std::string_view lines) {
  std::string text = note.substr(0, note.empty() ? 0 : kNoteMostChars - 2);
  if (!text.empty()) text += "\r\n";
  return text + WithCrLf(lines);
}
