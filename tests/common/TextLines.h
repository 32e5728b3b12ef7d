// Text helpers shared by the test layers: lines of a log and a message without
// its line ends.
#pragma once
#include <string>
#include <vector>

namespace test_text {

// The lines of `text`, split at '\n' (a '\r' before it stays), the last one
// kept even without an end.
inline std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  size_t begin = 0;
  for (size_t end; (end = text.find('\n', begin)) != std::string::npos; begin = end + 1) {
    lines.push_back(text.substr(begin, end - begin));
  }
  if (begin < text.size()) lines.push_back(text.substr(begin));
  return lines;
}

// `text` without the line ends at its end.
inline std::string Trimmed(std::string text) {
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  return text;
}

}  // namespace test_text
