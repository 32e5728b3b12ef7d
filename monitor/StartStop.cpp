// Start and Stop of a monitoring run.
#include "app/MessageBoxes.h"
#include "app/ResourceStrings.h"
#include "measure/ClockCalibration.h"
#include "monitor/LocalClock.h"
#include "monitor/MonitorDialog.h"
#include "monitor/portable/LogText.h"
#include "monitor/portable/RunTiming.h"
#include "res/resource.h"

namespace {
constexpr char kActiveSuffix[] = ": active";
constexpr char kSaveOnStopExtension[] = ".txt";

// The time is read first and the date second, each from its own reading.
std::string StartedLine(const MonitorDialog& dialog) {
  const std::string time = TimeText(ReadLocalTime());
  const std::string date = DateText(ReadLocalTime());
  const std::string note = LoadResourceString(dialog.useMmTimer ? IDS_MM_TIMER_NOTE : IDS_HPC_NOTE);
  return FormatText(LoadFormatString(IDS_STARTED_FORMAT).c_str(), date.c_str(), time.c_str(),
                    note.c_str());
}

std::string StoppedLine() {
  const std::string time = TimeText(ReadLocalTime());
  const std::string date = DateText(ReadLocalTime());
  return FormatText(LoadFormatString(IDS_STOPPED_FORMAT).c_str(), date.c_str(), time.c_str());
}

// Returns the button's new caption.
std::string StartRun(MonitorDialog& dialog) {
  // First of all, so that the first sample's interval covers everything below.
  dialog.KeepSnapshot(TakeClockSnapshot());

  if (dialog.checkCpuLoad && FAILED(dialog.Start())) dialog.checkCpuLoad = 0;
  dialog.measureCoreClock = dialog.checkCoreClock != 0;
  // A disabled box logs nothing, whatever was saved.
  dialog.measureThermal = dialog.thermalMonitor != 0 && dialog.thermalOffered;
  if (dialog.measureThermal) dialog.thermalSources.Open(dialog.affinityMask);

  SetWindowTextA(dialog.logEdit, "");
  dialog.runText.Clear();
  dialog.logWindow.Clear();
  // Before the started line, which then reaches the journal as every later line does.
  dialog.journalFailureShown = false;
  const HRESULT journalResult = dialog.OpenJournal();
  dialog.AppendLogText(StartedLine(dialog).c_str());
  if (!(dialog.coolBits & coolbits::kKeepVisibleOnStart)) ShowWindow(dialog.Window(), SW_HIDE);

  dialog.firstSampleTick = GetTickCount() + StartDelayMs(dialog.startDelayMinutes);
  SetTimer(dialog.Window(), IDT_SAMPLE, TimerPeriodMs(dialog.checkPeriodSeconds), nullptr);
  dialog.trayIcon.SetTip((LoadResourceString(IDS_TITLE) + kActiveSuffix).c_str());
  // Last, once the run is going: the box's loop lets the ticks run meanwhile.
  if (FAILED(journalResult)) dialog.ReportJournalFailure(journalResult);
  return LoadResourceString(IDS_STOP);
}

std::string StopRun(MonitorDialog& dialog) {
  dialog.Stop();
  dialog.measureThermal = false;
  dialog.thermalSources.Close();
  dialog.trayIcon.SetTip(LoadResourceString(IDS_TITLE).c_str());
  KillTimer(dialog.Window(), IDT_SAMPLE);
  dialog.AppendLogText(StoppedLine().c_str());
  HRESULT saved = S_OK;
  if (dialog.saveOnStop) {
    saved = dialog.WriteLogFile(dialog.MakeLogFileName() + kSaveOnStopExtension);
  }
  // The journal goes only once the run is safe in its file; otherwise the next
  // start recovers it.
  if (FAILED(saved)) {
    dialog.journal.Abandon();
    ReportErrorCode(MAKEINTRESOURCEA(IDS_MSG_SAVE_LOG_FAILED), saved);
  } else {
    dialog.journal.Remove();
  }
  return LoadResourceString(IDS_START);
}

void ShowRunState(const MonitorDialog& dialog, const std::string& caption) {
  SetWindowTextA(dialog.startButton, caption.c_str());
  EnableWindow(dialog.saveButton, !dialog.running && dialog.saveOnStop == 0);
  EnableWindow(dialog.exitButton, !dialog.running);
}
}  // namespace

LRESULT MonitorDialog::OnStartStop() {
  // A failed check is signalled by the exchange itself; the command goes on.
  TakeSettings();
  // Set first, so that the journal opened by StartRun knows the run is on.
  running = !running;
  ShowRunState(*this, running ? StartRun(*this) : StopRun(*this));
  return 0;
}

// Leaving during a run would otherwise lose the stopped line and the save.
void MonitorDialog::FinishRunBeforeLeaving() {
  if (!running) return;
  running = 0;
  ShowRunState(*this, StopRun(*this));
}
