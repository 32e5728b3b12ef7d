// Helpers for driving monitoring runs from outside: the log edit's text and
// lines, the run's controls, the files a save leaves, and a TSC frequency that
// the test measures itself.
#pragma once
#include <windows.h>
#include <intrin.h>

#include <regex>
#include <string>
#include <vector>

#include "res/resource.h"
#include "tests/common/Controls.h"
#include "tests/common/TextLines.h"
#include "tests/e2e/Driver.h"

namespace e2e::runs {

inline const std::regex kStartedLine(
    R"(started: \d\d/\d\d/\d\d, (\d\d:\d\d:\d\d) \((MM timer|HPC) is used\))");
inline const std::regex kStoppedLine(R"(stopped: \d\d/\d\d/\d\d, \d\d:\d\d:\d\d)");
// Time, clock, then optionally load, memory, the core clock and the Thermal
// monitor's limit, temperature and battery, in that order.
inline const std::regex kSampleLine(
    R"((\d\d:\d\d:\d\d), ([ \d]{3}\d+\.\d\d) MHz(, \((\d+\.\d)%\))?(, \((\d+) K\))?)"
    R"((, \(core ([ \d]{3}\d+\.\d\d) MHz\))?)"
    R"((, \(limit (\d+)%\))?(, \((-?\d+\.\d) C\))?(, \(on battery\))?)");
inline const std::regex kHeader(
    R"(Ondrel \(build: \w{3} \w{3} [ \d]\d \d\d:\d\d:\d\d \d{4}\) log file\.\r\n--\r\n)");

// The measurement engine's test hook: its faults, set for the program launched
// while the object lives.
class FaultsForProgram {
 public:
  explicit FaultsForProgram(const char* faults) {
    SetEnvironmentVariableA("SENTEL_TEST_FAULTS", faults);
  }
  ~FaultsForProgram() { SetEnvironmentVariableA("SENTEL_TEST_FAULTS", nullptr); }
  FaultsForProgram(const FaultsForProgram&) = delete;
  FaultsForProgram& operator=(const FaultsForProgram&) = delete;
};

// Settings for a quick run: the short calibration, no start delay and a sample
// every second, with or without the load.
inline void PrepareQuickRun(bool cpuLoad) {
  Settings::UseQuickCalibration();
  Settings::SetDword("StartTime", 0);
  Settings::SetDword("CheckTime", 1);
  Settings::SetDword("CpuLoad", cpuLoad ? 1 : 0);
}

// The TSC frequency in MHz against the performance counter over half a second.
inline double MeasureTscMhz() {
  LARGE_INTEGER frequency, q0, q1;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&q0);
  const unsigned long long t0 = __rdtsc();
  Sleep(500);
  QueryPerformanceCounter(&q1);
  const unsigned long long t1 = __rdtsc();
  const double seconds =
      static_cast<double>(q1.QuadPart - q0.QuadPart) / static_cast<double>(frequency.QuadPart);
  return static_cast<double>(t1 - t0) / seconds / 1e6;
}

using test_controls::SetControlText;
using test_text::SplitLines;

// The log edit's text as it is shown: lines ended by CR LF.
inline std::string ShownLog(HWND dialog) { return ControlText(dialog, IDC_LOG); }
// The same with the line feeds of the run's text, as a saved file holds it before its CR LF.
inline std::string LogText(HWND dialog) {
  std::string text = ShownLog(dialog);
  size_t kept = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) text[kept++] = text[i];
  }
  text.resize(kept);
  return text;
}
inline std::vector<std::string> LogLines(HWND dialog) { return SplitLines(LogText(dialog)); }

inline bool WaitForLogLines(HWND dialog, size_t count, DWORD timeoutMs) {
  return WaitUntil([&] { return LogLines(dialog).size() >= count; }, timeoutMs);
}

inline void SetCheck(HWND dialog, int id, bool checked) {
  DWORD_PTR ignored = 0;
  SendMessageTimeoutA(GetDlgItem(dialog, id), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0,
                      SMTO_ABORTIFHUNG, 5000, &ignored);
}

// The command a click on a button of the dialog sends, also while it is hidden.
inline void PostCommand(HWND dialog, int id) {
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

inline bool WaitForCaption(HWND dialog, const std::string& caption, DWORD timeoutMs = 15000) {
  return WaitUntil([&] { return ControlText(dialog, IDC_START_STOP) == caption; }, timeoutMs);
}

inline std::string WithCrLf(const std::string& text) {
  std::string converted;
  for (char c : text) {
    if (c == '\n') converted += '\r';
    converted += c;
  }
  return converted;
}

// True when every line feed follows a carriage return and no CR is doubled.
inline bool EveryLineEndsWithCrLf(const std::string& bytes) {
  for (size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == '\n' && (i == 0 || bytes[i - 1] != '\r')) return false;
    if (bytes[i] == '\r' && (i + 1 >= bytes.size() || bytes[i + 1] != '\n')) return false;
  }
  return true;
}

inline size_t CountOf(const std::string& text, const std::string& what) {
  size_t count = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++count;
  return count;
}

inline int SecondsOfDay(const std::string& hhmmss) {
  return std::stoi(hhmmss.substr(0, 2)) * 3600 + std::stoi(hhmmss.substr(3, 2)) * 60 +
         std::stoi(hhmmss.substr(6, 2));
}

// The program's message boxes on the screen now: its visible top-level dialogs
// with a message text, other than the main dialog.
inline size_t OpenMessageBoxes(const Program& program) {
  size_t count = 0;
  for (HWND window : program.TopLevelWindows()) {
    if (window != program.Dialog() && IsWindowVisible(window) && GetDlgItem(window, 0xFFFF)) {
      ++count;
    }
  }
  return count;
}

// Ends the program at once, as a power cut or the task manager would.
inline void Kill(const Program& program) {
  const HANDLE process = OpenProcess(PROCESS_TERMINATE, FALSE, program.ProcessId());
  if (process == nullptr) return;
  TerminateProcess(process, 99);
  CloseHandle(process);
}

// Closes a message box of the program by pressing its only (or first) button.
inline void CloseMessageBox(HWND box) {
  for (int id : {IDOK, IDYES, IDCANCEL, 2}) {
    if (HWND button = GetDlgItem(box, id)) {
      PostMessageA(button, BM_CLICK, 0, 0);
      return;
    }
  }
  PostMessageA(box, WM_CLOSE, 0, 0);
}

}  // namespace e2e::runs

namespace e2e::runs {

// The process's Save As dialog: the top-level dialog with the file name box.
constexpr int kFileNameCombo = 0x47C;
constexpr int kFileNameEdit = 0x480;

inline HWND FindSaveAsDialog(const Program& program) {
  for (HWND window : program.TopLevelWindows()) {
    if (IsWindowVisible(window) &&
        (GetDlgItem(window, kFileNameCombo) != nullptr || GetDlgItem(window, kFileNameEdit))) {
      return window;
    }
  }
  return nullptr;
}

inline HWND WaitForSaveAsDialog(const Program& program, DWORD timeoutMs = 20000) {
  HWND found = nullptr;
  WaitUntil([&] { return (found = FindSaveAsDialog(program)) != nullptr; }, timeoutMs);
  return found;
}

inline HWND FileNameBox(HWND saveAs) {
  HWND box = GetDlgItem(saveAs, kFileNameCombo);
  return box != nullptr ? box : GetDlgItem(saveAs, kFileNameEdit);
}

// Unticks "Save on Stop", so that Save... is enabled, presses it and waits for the Save As dialog.
inline HWND OpenSaveAsUnticked(const Program& program, HWND dialog) {
  SetCheck(dialog, IDC_SAVE_ON_STOP, false);
  PostCommand(dialog, IDC_SAVE_ON_STOP);
  if (!WaitUntil([&] { return IsWindowEnabled(GetDlgItem(dialog, IDC_SAVE)) != FALSE; }, 5000)) {
    return nullptr;
  }
  Click(dialog, IDC_SAVE);
  return WaitForSaveAsDialog(program);
}

// Types `path` as the file name and presses Save.
inline void ConfirmSaveAs(HWND saveAs, const std::string& path) {
  DWORD_PTR ignored = 0;
  SendMessageTimeoutA(FileNameBox(saveAs), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()),
                      SMTO_ABORTIFHUNG, 5000, &ignored);
  PostMessageA(GetDlgItem(saveAs, IDOK), BM_CLICK, 0, 0);
}

}  // namespace e2e::runs
