// Which newest part of the run's text the log edit shows, and that part as the
// edit shows it: lines ended by CR LF, after a note once older lines have left.
#pragma once
#include <cstddef>
#include <deque>
#include <string>
#include <string_view>

struct LogWindowBounds {
  size_t mostChars;  // the edit's text never grows beyond this, the note included
  size_t keptChars;  // the lines a trim keeps, with their CR LF
};

// The note line, CR LF included, is cut to this; the bounds leave room for it.
constexpr size_t kNoteMostChars = 256;

LogWindowBounds LogWindowBoundsFor(bool ntFamily);

class LogWindow {
 public:
  // Takes `text`, just appended to the run's text, into the window. Returns how
  // many bytes of older lines left it, the oldest first (0: none).
  size_t Append(std::string_view text, const LogWindowBounds& bounds);
  void Clear();
  // How many bytes of the run text's end the window shows.
  size_t ShownBytes() const { return end_ - start_; }
  bool EarlierLinesLeft() const { return start_ > 0; }

 private:
  size_t ShownChars() const { return end_ - start_ + lineStarts_.size(); }

  size_t start_ = 0;  // offsets into the run's text
  size_t end_ = 0;
  std::deque<size_t> lineStarts_;  // of the lines after the window's first
};

// The edit's text: the note (when there is one) and `lines`, each ended by CR LF.
std::string WindowText(const std::string& note, std::string_view lines);
