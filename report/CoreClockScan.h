// Which optional pieces the logs hold at all: the CSV's columns must be known
// before its first row, and logs without a piece keep the columns they always had.
#pragma once
#include <cstdio>
#include <string>
#include <vector>

namespace report {

struct LoggedPieces {
  bool coreClock = false;
  bool limit = false;
  bool temperature = false;
  bool battery = false;
};

// The `wanted` pieces that some sample line has, looked for up to the line that
// completes them; files that cannot be opened or read count as holding none.
LoggedPieces FindPieces(std::FILE* file, LoggedPieces wanted);
LoggedPieces PiecesInLogs(const std::vector<std::string>& paths);

bool AnyLogHasCoreClock(const std::vector<std::string>& paths);
bool HasCoreClockLine(std::FILE* file);

}  // namespace report
