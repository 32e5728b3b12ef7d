#include "report/LogReader.h"

#include "report/CivilTime.h"

namespace report {

void LogReader::ReadLine(std::string_view line) {
  ++lineNumber_;
  if (holding_) {
    StampedLine stamped;
    if (IsRuleLine(line) && IsHeaderLine(held_)) {
      holding_ = false;
      // A header begins a new file's text: what was open there ended without Stop.
      if (inRun_) EndRun(RunEnding::kUnclosed, nullptr);
      return;
    }
    if (ParseStampedLine(line, stamped) && StartsRun(stamped)) {
      holding_ = false;
      if (inRun_) EndRun(RunEnding::kUnclosed, nullptr);
      StartRun(stamped, true);
      return;
    }
    ReportHeldLine();
  }
  ReadOwnLine(line);
}

void LogReader::Finish() {
  if (holding_) ReportHeldLine();
  if (inRun_) EndRun(RunEnding::kUnclosed, nullptr);
}

bool LogReader::StartsRun(const StampedLine& stamped) const {
  // A started line always carries its timer note. Inside a run only the run's own
  // label starts another: a note after another label closes a run without Stop.
  if (!stamped.hasNote) return false;
  if (inRun_) return stamped.label == runLabel_;
  return closingLabels_.find(stamped.label) == closingLabels_.end();
}

void LogReader::ReadOwnLine(std::string_view line) {
  if (ParseSampleLine(line, sample_)) {
    if (!inRun_) {
      listener_.OnUnknownLine(lineNumber_, line);
      return;
    }
    // The sample lines carry no date: a time earlier than the one before is the next day.
    if (sample_.secondOfDay < lastSecondOfDay_) ++day_;
    lastSecondOfDay_ = sample_.secondOfDay;
    listener_.OnSample({day_ * kSecondsPerDay + sample_.secondOfDay, &sample_});
    return;
  }
  StampedLine stamped;
  if (ParseStampedLine(line, stamped)) {
    // A started line that lost its timer note closes nothing: as a closing line it
    // would make its label a closing one, and every later run a stray line.
    const bool startedWithoutNote = !stamped.hasNote && inRun_ && stamped.label == runLabel_;
    if (StartsRun(stamped)) {
      if (inRun_) EndRun(RunEnding::kUnclosed, nullptr);
      StartRun(stamped, false);
    } else if (inRun_ && !startedWithoutNote) {
      EndRun(stamped.hasNote ? RunEnding::kInterrupted : RunEnding::kStopped, &stamped);
    } else {
      listener_.OnUnknownLine(lineNumber_, line);
    }
    return;
  }
  if (IsRuleLine(line)) {
    listener_.OnUnknownLine(lineNumber_, line);
    return;
  }
  HoldLine(line);
}

void LogReader::StartRun(const StampedLine& stamped, bool hasNoteLine) {
  inRun_ = true;
  runLabel_.assign(stamped.label.data(), stamped.label.size());
  day_ = DaysFromCivil(stamped.year, stamped.month, stamped.day);
  lastSecondOfDay_ = stamped.secondOfDay;
  RunStart start;
  start.lineNumber = lineNumber_;
  start.seconds = day_ * kSecondsPerDay + stamped.secondOfDay;
  start.timerNote = stamped.note;
  start.hasNoteLine = hasNoteLine;
  listener_.OnRunStart(start);
}

void LogReader::EndRun(RunEnding ending, const StampedLine* closing) {
  inRun_ = false;
  RunEnd end;
  end.ending = ending;
  if (closing != nullptr) {
    closingLabels_.emplace(closing->label);
    end.hasClosingTime = true;
    end.closingSeconds =
        DaysFromCivil(closing->year, closing->month, closing->day) * kSecondsPerDay +
        closing->secondOfDay;
  }
  listener_.OnRunEnd(end);
}

void LogReader::HoldLine(std::string_view line) {
  holding_ = true;
  held_.assign(line.data(), line.size());
  heldLineNumber_ = lineNumber_;
}

void LogReader::ReportHeldLine() {
  holding_ = false;
  listener_.OnUnknownLine(heldLineNumber_, held_);
}

}  // namespace report
