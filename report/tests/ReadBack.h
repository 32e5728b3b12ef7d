// What a test wrote to a temporary file, read back from its start.
#pragma once
#include <cstdio>
#include <string>

inline std::string ReadBack(std::FILE* file) {
  std::string text;
  std::rewind(file);
  char block[4096];
  for (size_t got; (got = std::fread(block, 1, sizeof block, file)) > 0;) text.append(block, got);
  return text;
}
