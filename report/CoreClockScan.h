// Whether logs hold the core clock at all: the CSV's columns must be known before
// its first row, and logs without the piece keep the columns they always had.
#pragma once
#include <cstdio>
#include <string>
#include <vector>

namespace report {

// True at the first sample line with the core clock piece; files that cannot be
// opened or read count as holding none.
bool AnyLogHasCoreClock(const std::vector<std::string>& paths);
bool HasCoreClockLine(std::FILE* file);

}  // namespace report
