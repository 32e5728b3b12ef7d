// The samples as RFC 4180 CSV: a header row, then one row per sample with the run
// number, the local date-time in ISO 8601 and the figures as the log wrote them;
// a piece the line lacks is an empty cell. Lines end with CR LF.
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>

#include "report/LogLine.h"

namespace report {

class CsvWriter {
 public:
  // Writes to `file`, which stays the caller's.
  explicit CsvWriter(std::FILE* file);
  ~CsvWriter();
  CsvWriter(const CsvWriter&) = delete;
  CsvWriter& operator=(const CsvWriter&) = delete;

  void WriteRow(uint32_t run, int64_t seconds, const SampleLine& line);
  // False when any write failed.
  bool Flush();

 private:
  void Put(std::string_view text);

  std::FILE* file_;
  std::string buffer_;
  bool failed_ = false;
  int64_t cachedDay_ = INT64_MIN;
  char dateTime_[19] = {};
};

}  // namespace report
