// Reads one log file line by line and tells a listener about its runs: each run
// from its started line to the line that closes it, the samples with their dates
// rebuilt, and every line that fits nowhere. Holds one line at most.
#pragma once
#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <string_view>

#include "report/LogLine.h"

namespace report {

enum class RunEnding {
  kStopped,      // a closing line with no note: the user pressed Stop
  kInterrupted,  // a closing line with a note: the journal closed a run that never saw Stop
  kUnclosed,     // no closing line: the file or the run's text simply ends
};

struct RunStart {
  size_t lineNumber = 0;
  int64_t seconds = 0;  // local date-time of the started line
  std::string_view timerNote;
  bool hasNoteLine = false;  // the line before the started line, e.g. the idle-thread note
};

struct Sample {
  int64_t seconds = 0;  // local date-time, the date rebuilt from the started line
  const SampleLine* line = nullptr;
};

struct RunEnd {
  RunEnding ending = RunEnding::kUnclosed;
  bool hasClosingTime = false;
  int64_t closingSeconds = 0;
};

class LogListener {
 public:
  virtual ~LogListener() = default;
  virtual void OnRunStart(const RunStart& start) = 0;
  virtual void OnSample(const Sample& sample) = 0;
  virtual void OnRunEnd(const RunEnd& end) = 0;
  virtual void OnUnknownLine(size_t lineNumber, std::string_view text) = 0;
};

class LogReader {
 public:
  explicit LogReader(LogListener& listener) : listener_(listener) {}
  // One line without its line end (LF or CR LF).
  void ReadLine(std::string_view line);
  // The end of the file: a run still open ended without Stop.
  void Finish();

 private:
  bool StartsRun(const StampedLine& stamped) const;
  void ReadOwnLine(std::string_view line);
  void StartRun(const StampedLine& stamped, bool hasNoteLine);
  void EndRun(RunEnding ending, const StampedLine* closing);
  void HoldLine(std::string_view line);
  void ReportHeldLine();

  LogListener& listener_;
  size_t lineNumber_ = 0;
  bool inRun_ = false;
  std::string runLabel_;
  // Labels of lines that closed runs: such a line outside a run is a stray one.
  std::set<std::string, std::less<>> closingLabels_;
  int64_t day_ = 0;
  unsigned lastSecondOfDay_ = 0;
  // A line that is none of the known shapes waits for the next one: before a
  // started line it is the note line, before "--" the header.
  bool holding_ = false;
  std::string held_;
  size_t heldLineNumber_ = 0;
  SampleLine sample_;
};

}  // namespace report
