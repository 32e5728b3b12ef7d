#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "monitor/portable/LogWindow.h"
#include "monitor/portable/RunText.h"

namespace {
std::string Line(int i) { return "00:00:00, 2399.87 MHz, (" + std::to_string(i) + " K)\n"; }
size_t WithCrLfSize(const std::string& lines) {
  return lines.size() + static_cast<size_t>(std::count(lines.begin(), lines.end(), '\n'));
}
}  // namespace

TEST(RunText, KeepsEveryByteAcrossItsChunksAndGivesItsEnd) {
  RunText text;
  std::string expected;
  for (int i = 0; i < 8000; ++i) {
    text.Append(Line(i));
    expected += Line(i);
  }
  ASSERT_GT(expected.size(), 3u * 64 * 1024);
  EXPECT_EQ(expected, text.Text());
  EXPECT_EQ(expected.substr(expected.size() - 70000), text.Tail(70000));
  EXPECT_EQ(expected.substr(60000, 80000), text.Slice(60000, 80000));
  text.Clear();
  EXPECT_EQ(0u, text.Size());
}

TEST(LogWindow, KeepsTheNewestWholeLinesWithinItsBounds) {
  for (const bool nt : {false, true}) {
    const LogWindowBounds bounds = LogWindowBoundsFor(nt);
    LogWindow window;
    RunText text;
    int trims = 0;
    size_t dropped = 0;
    for (int i = 0; i < 20000; ++i) {
      text.Append(Line(i));
      const size_t gone = window.Append(Line(i), bounds);
      const bool trimmed = gone > 0;
      trims += trimmed;
      dropped += gone;
      ASSERT_EQ(text.Size(), dropped + window.ShownBytes());
      if (!trimmed && i % 97 != 0) continue;
      const std::string lines = text.Tail(window.ShownBytes());
      ASSERT_LE(WindowText(std::string(kNoteMostChars, 'n'), lines).size(), bounds.mostChars);
      // Whole lines, the newest last, and no more of them gone than the trim needs.
      ASSERT_TRUE(lines.size() == text.Size() || text.Tail(lines.size() + 1)[0] == '\n');
      ASSERT_EQ(Line(i), text.Tail(Line(i).size()));
      if (trimmed) {
        EXPECT_GT(WithCrLfSize(lines) + Line(i).size() + 1, bounds.keptChars);
      }
    }
    EXPECT_TRUE(window.EarlierLinesLeft());
    EXPECT_GT(trims, 1) << nt;
  }
}

TEST(LogWindow, ShowsTheNoteFirstAndEveryLineWithCrLf) {
  EXPECT_EQ("(earlier)\r\na\r\nb\r\n", WindowText("(earlier)", "a\nb\n"));
  EXPECT_EQ("a\r\n", WindowText("", "a\n"));
  EXPECT_EQ(kNoteMostChars, WindowText(std::string(1000, 'x'), "").size());
}
