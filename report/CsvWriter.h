// The samples as RFC 4180 CSV: a header row, then one row per sample with the run
// number, the local date-time in ISO 8601 and the figures as the log wrote them;
// a piece the line lacks is an empty cell. Lines end with CR LF. The columns of the
// core clock and the Thermal monitor's pieces are there only when asked for, so logs
// without them give the CSV they always did.
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "report/CoreClockScan.h"
#include "report/LogLine.h"

namespace report {

class CsvWriter {
 public:
  // Writes to `file`, which stays the caller's.
  explicit CsvWriter(std::FILE* file, bool coreClockColumn = false);
  // A column for each piece in `columns`, after the five that are always there.
  CsvWriter(std::FILE* file, const LoggedPieces& columns);
  ~CsvWriter();
  CsvWriter(const CsvWriter&) = delete;
  CsvWriter& operator=(const CsvWriter&) = delete;

  void WriteRow(uint32_t run, int64_t seconds, const SampleLine& line);
  // False when any write failed.
  bool Flush();

 private:
  // A row wider than the whole buffer: only with a figure of absurd length.
  void WriteLongRow(uint32_t run, std::string_view mhz, std::string_view load,
                    std::string_view memory, const std::string_view* extra, size_t extras);

  static constexpr size_t kBufferSize = 1 << 16;
  // A usual row fits in this; the buffer is written out before it runs short.
  static constexpr size_t kRowRoom = 128;
  std::FILE* file_;
  LoggedPieces columns_;
  std::vector<char> buffer_;
  size_t used_ = 0;
  bool failed_ = false;
  int64_t cachedDay_ = INT64_MIN;
  char dateTime_[19] = {};
};

}  // namespace report
