// One report over any number of log files: the summary of each run as it ends,
// the CSV rows and the chart's columns, all from a single pass.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "report/ChartColumns.h"
#include "report/CoreClockScan.h"
#include "report/CsvWriter.h"
#include "report/LogReader.h"
#include "report/RunStatistics.h"

namespace report {

struct UnknownLine {
  std::string file;
  size_t lineNumber = 0;
  std::string text;  // cut short, control characters shown as '?'
};

class ReportSession : public LogListener {
 public:
  // `summary` receives the text of each run; `csv` (may be null) the rows, with a
  // column for each of `csvColumns`. An episode is a stretch below `belowPercent`
  // of the run's peak.
  ReportSession(std::FILE* summary, std::FILE* csv, bool chart, const LoggedPieces& csvColumns = {},
                unsigned belowPercent = kDefaultBelowPercent);

  // Reads a whole file, line by line, in pieces of bounded size. False when
  // it cannot be opened or read.
  bool ReadFile(const std::string& path);
  // Lines for a file already open (tests, standard input).
  void BeginFile(const std::string& name);
  void ReadLine(std::string_view line) { reader_->ReadLine(line); }
  void EndFile();

  unsigned RunsInLastFile() const { return runsInFile_; }
  unsigned Runs() const { return runs_; }
  uint64_t UnknownLines() const { return unknownCount_; }
  const std::vector<UnknownLine>& FirstUnknownLines() const { return firstUnknown_; }
  bool CsvWritten() { return csv_ == nullptr || csv_->Flush(); }
  std::string Chart() const;

  void OnRunStart(const RunStart& start) override;
  void OnSample(const Sample& sample) override;
  void OnRunEnd(const RunEnd& end) override;
  void OnUnknownLine(size_t lineNumber, std::string_view text) override;

  static constexpr size_t kUnknownLinesShown = 10;

 private:
  std::FILE* summary_;
  std::unique_ptr<CsvWriter> csv_;
  std::unique_ptr<ChartColumns> chart_;
  std::unique_ptr<LogReader> reader_;
  unsigned belowPercent_;
  std::string file_;
  std::optional<RunStatistics> run_;
  size_t runLine_ = 0;
  std::string runNote_;
  unsigned runs_ = 0;
  unsigned runsInFile_ = 0;
  std::vector<double> medianIntervals_;
  uint64_t unknownCount_ = 0;
  std::vector<UnknownLine> firstUnknown_;
};

}  // namespace report
