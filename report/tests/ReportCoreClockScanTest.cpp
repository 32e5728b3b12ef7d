// The look through the logs that decides the CSV's columns, across its read blocks.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "report/CoreClockScan.h"

using namespace report;

TEST(ReportCoreClockScan, FindsOnlyAWholeSampleLineWithThePiece) {
  const std::string core = "14:05:01, 2596.01 MHz, (core 3612.40 MHz)";
  const size_t block = size_t{1} << 20;
  const struct {
    std::string text;
    bool found;
  } rows[] = {
      {std::string(block - 20, 'x') + "\r\n" + core + "\r\n", true},  // across two blocks
      {"started: 12/09/26, 14:05:00 (HPC is used)\n" + core, true},   // no line feed at the end
      {std::string(block, 'x') + core + "\n", false},                 // the end of a longer line
      {"Idle core note\n14:05:01, 2596.01 MHz, (12.5%)\n", false},
  };
  for (const auto& row : rows) {
    std::FILE* file = std::tmpfile();
    ASSERT_NE(nullptr, file);
    std::fwrite(row.text.data(), 1, row.text.size(), file);
    std::rewind(file);
    EXPECT_EQ(row.found, HasCoreClockLine(file)) << row.text.substr(row.text.size() - 60);
    std::fclose(file);
  }
}
