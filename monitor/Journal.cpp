// The run journal's life in the dialog: opened with the run (or when "Save on
// Stop" is ticked during one), fed by every log line, removed once Stop has
// saved the run, and recovered at the next start when the run never got there.
#include <string>
#include <string_view>

#include "app/MessageBoxes.h"
#include "app/ResourceStrings.h"
#include "monitor/LocalClock.h"
#include "monitor/MonitorDialog.h"
#include "monitor/portable/LogText.h"
#include "res/resource.h"

namespace {
// Each batch is flushed to the disk: a million lines go over in about 44 writes.
constexpr size_t kJournalBatchBytes = size_t{1024} * 1024;

std::string InterruptedLine(const SYSTEMTIME& lastWrite) {
  const LocalTime time = ToLocalTime(lastWrite);
  return FormatText(LoadFormatString(IDS_INTERRUPTED_FORMAT).c_str(), DateText(time).c_str(),
                    TimeText(time).c_str());
}
}  // namespace

bool MonitorDialog::JournalWanted() const {
  return running && saveOnStop && !(coolBits & coolbits::kNoLogFile);
}

HRESULT MonitorDialog::OpenJournal() {
  if (!JournalWanted() || journal.IsOpen()) return S_OK;
  // A log file already: the frame a Save on Stop file starts with, then the log
  // so far, in batches rather than as one more copy of a long run.
  const std::string base = MakeLogFileName();
  std::string batch = LogFileHead(true);
  HRESULT result = S_OK;
  bool created = false;
  const auto handOver = [&] {
    result = created ? journal.Append(batch) : journal.Create(base, batch);
    created = true;
    batch.clear();
  };
  runText.ForEachPiece([&](std::string_view piece) {
    if (FAILED(result)) return;
    batch.append(piece);
    if (batch.size() >= kJournalBatchBytes) handOver();
  });
  if (SUCCEEDED(result) && (!created || !batch.empty())) handOver();
  // What reached the disk stays for the next start, as after a failed line.
  if (FAILED(result)) journal.Abandon();
  return result;
}

void MonitorDialog::FollowJournalSetting() {
  if (JournalWanted()) {
    const HRESULT result = OpenJournal();
    if (FAILED(result)) ReportJournalFailure(result);
  } else {
    journal.Remove();
  }
}

void MonitorDialog::WriteToJournal(const char* text) {
  if (!journal.IsOpen()) return;
  const HRESULT result = journal.Append(text);
  if (SUCCEEDED(result)) return;
  // What the journal holds stays for the next start; the log edit keeps the rest.
  journal.Abandon();
  ReportJournalFailure(result);
}

void MonitorDialog::ReportJournalFailure(HRESULT result) {
  // Once per run: the box's nested loop lets later ticks go on meanwhile.
  if (journalFailureShown) return;
  journalFailureShown = true;
  ReportErrorCode(MAKEINTRESOURCEA(IDS_MSG_SAVE_LOG_FAILED), result);
}

void MonitorDialog::RecoverInterruptedRuns() {
  for (const std::string& folder : logFolder.JournalPlaces()) {
    for (const std::string& path : RecoverJournals(folder, &InterruptedLine)) {
      AppendLogText(
          FormatText(LoadFormatString(IDS_RECOVERED_FORMAT).c_str(), path.c_str()).c_str());
    }
  }
}
