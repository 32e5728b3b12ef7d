// The one object behind the main dialog: settings, calibration constants, the
// run's state, option bits and the handles of the controls other parts drive.
#pragma once
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <string>

#include "app/DialogWindow.h"
#include "app/OwnedHandle.h"
#include "app/TrayIcon.h"
#include "measure/CpuUsage.h"
#include "measure/ThermalSources.h"
#include "measure/portable/ClockMath.h"
#include "monitor/LogFolder.h"
#include "monitor/RunJournal.h"
#include "monitor/portable/LogWindow.h"
#include "monitor/portable/RunText.h"

enum class LoadMethod : uint8_t { kNone, kNative, kIdleThread };

// A check box's state: 0 unchecked, 1 checked, 2 indeterminate.
using CheckState = int32_t;
using QuerySystemInformationFn = LONG(WINAPI*)(ULONG, PVOID, ULONG, PULONG);

// Option bits of the CoolBits registry value.
namespace coolbits {
constexpr uint32_t kKeepVisibleOnStart = 0x01;
constexpr uint32_t kNoLogFile = 0x02;
constexpr uint32_t kDontLoadSettings = 0x08;
constexpr uint32_t kDontSaveSettings = 0x10;
}  // namespace coolbits

class MonitorDialog : public DialogWindow, public ICpuUsage {
 public:
  MonitorDialog();
  ~MonitorDialog() override;

  // Routing of every dialog message (app/MainDialogRouting.cpp).
  bool RouteMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

  // CPU load service (measure/CpuUsage.cpp).
  HRESULT Start() override;
  HRESULT Stop() override;
  HRESULT GetLoad(float* load) override;
  // GetLoad without its failure box: the sample tick shows that after its line.
  HRESULT ReadLoad(float* load);
  bool QueryNativeLoad(float* load);
  // Makes every counting thread leave and waits (briefly) until none is left.
  void EndCountingThreads();
  static DWORD WINAPI IdleCounterThread(LPVOID monitorDialog);

  // Frame handlers (app/MainDialogRouting.cpp).
  LRESULT OnExit(UINT commandId);
  LRESULT OnEndSession(bool ending);
  LRESULT OnShow();
  bool OnSysCommand(WPARAM command);  // false: declined
  LRESULT OnHelp();
  BOOL CenterOnOwner(HWND center = nullptr);
  LRESULT OnAbout();

  // Dialog initialisation (monitor/DialogInit.cpp).
  BOOL OnInitDialog();
  // The window's icons at the sizes of `dpi` (0: the system's); again when the
  // dialog moves to a display of another scale, which the system does not do for them.
  void ShowWindowIcons(UINT dpi);

  // Settings (monitor/Settings.cpp) and their exchange with the controls
  // (monitor/SettingsExchange.cpp).
  HRESULT LoadSettings();
  HRESULT SaveSettings();
  bool ExchangeInt(int controlId, uint32_t& field, bool isSigned, bool fromControl,
                   uint32_t minimum, uint32_t maximum);
  void ShowSettings();
  bool TakeSettings();
  LRESULT OnSaveOnStop();

  // Runs (monitor/StartStop.cpp, monitor/SampleTick.cpp).
  LRESULT OnStartStop();
  void AppendLogText(const char* text);
  LRESULT OnSampleTimer();
  // The previous clock snapshot, held in lastMmTime, lastHpc and lastTsc.
  ClockSnapshot LastSnapshot() const;
  void KeepSnapshot(const ClockSnapshot& snapshot);
  // Carries out the Stop steps when the dialog is left during a run.
  void FinishRunBeforeLeaving();

  // The run journal (monitor/Journal.cpp).
  bool JournalWanted() const;
  HRESULT OpenJournal();  // no box: the caller reports
  // Opens or removes the journal as the run and the settings now ask.
  void FollowJournalSetting();
  void WriteToJournal(const char* text);
  void ReportJournalFailure(HRESULT result);
  void RecoverInterruptedRuns();

  // Log file (monitor/LogFile.cpp).
  std::string MakeLogFileName();
  // Where generated files go; names the folder in the log when it is not the program's.
  void ChooseLogFolder();
  // The header (when `withHeader`) and the note line that start a saved log.
  std::string LogFileHead(bool withHeader) const;
  std::string LogText() const;
  HRESULT WriteLogFile(const std::string& path);
  LRESULT OnSaveLog();

  // The icons the window and the tray icon show; they outlive both.
  OwnedIcon bigIcon;
  OwnedIcon smallIcon;
  OwnedIcon trayImage;

  // The state record, in its order.
  TrayIcon trayIcon;
  uint32_t startDelayMinutes;
  uint32_t checkPeriodSeconds;
  uint64_t tscHz;
  uint64_t lastTsc;
  int64_t lastHpc;
  uint32_t lastMmTime;
  double tscPerHpcTick;
  double tscPerMs;
  double idleCountsPerMs;
  CheckState checkCpuClock;
  CheckState checkCpuLoad;
  CheckState checkBusClock;
  CheckState thermalMonitor;
  CheckState saveOnStop;
  CheckState useIdleThread;
  CheckState useMmTimer;
  CheckState availableMemory;
  CheckState checkCoreClock;
  uint8_t isNt;
  std::atomic<uint8_t> idleThreadActive;  // shared with the counting thread
  uint8_t running;
  uint32_t firstSampleTick;
  std::atomic<uint32_t> idleWrapTick;  // shared with the counting thread
  uint32_t coolBits;
  QuerySystemInformationFn querySystemInformation;
  HWND logEdit;
  HWND startButton;
  HWND exitButton;
  HWND saveButton;
  std::string lastSavePath;

  // Monitoring's own
  RunJournal journal;
  LogFolder logFolder;
  bool journalFailureShown;  // this run's journal failure has been reported
  bool leavingSession;       // Windows is ending the session: the leaving steps ran
  RunText runText;           // every line of the log since Start: what a save writes
  LogWindow logWindow;       // the newest part of it that the log edit shows

  // Measurement engine's own
  // How the started load service measures; kNone while none runs.
  LoadMethod loadMethod;
  // Whether this run measures the core clock, decided at Start as the load method is.
  bool measureCoreClock;
  // The Thermal monitor: whether this Windows reports a limit or a temperature
  // (found at init, it enables the box), whether this run logs the pieces
  // (decided at Start), the processors whose limit counts (AffMask) and the
  // sources a run holds open.
  bool thermalOffered = false;
  bool measureThermal = false;
  uint32_t affinityMask = 1;
  ThermalSources thermalSources;
  // Each idle-thread Start begins a new run; a counting thread counts only for
  // the run it claimed, so an earlier thread still alive after Stop leaves.
  std::atomic<uint32_t> idleRunGeneration;
  std::atomic<uint32_t> idleRunClaimed;  // the run a counting thread counts for
  DWORD idleThreadId;                    // id of the latest counting thread
};
