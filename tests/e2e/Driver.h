// The end-to-end driver: starts the real sentel.exe in a folder of its own and
// works it from outside, as a user or the shell would, through window messages,
// the registry and files.
#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "tests/common/Files.h"
#include "tests/common/Waiting.h"

namespace e2e {

// Polls `condition` until it holds or `timeoutMs` passes.
using test_wait::WaitUntil;

// The folder holding sentel.exe and sentel1031.dll as built.
std::string BuildFolder();
// A fresh, empty folder for one test under the build tree.
using test_files::MakeSandbox;
void CopyInto(const std::string& folder, const char* builtFile, const char* asName = nullptr);
using test_files::ReadFileBytes;
std::vector<std::string> ListFiles(const std::string& folder, const char* pattern);

// A string resource of the built sentel.exe (or of a module beside it).
std::string ProgramString(UINT id, const char* module = "sentel.exe");

// Text of a window of another process, through WM_GETTEXT.
std::string WindowText(HWND window);
std::string ControlText(HWND dialog, int id);
bool IsChecked(HWND dialog, int id);

// The settings key of the current user, driven as a user would with regedit.
struct Settings {
  static void DeleteKey();
  static void CreateKey();
  static bool KeyExists();
  static void SetDword(const char* name, uint32_t value);
  static void SetRaw(const char* name, DWORD type, const void* data, DWORD size);
  static void SetString(const char* name, const char* value);
  static std::optional<uint32_t> ReadDword(const char* name);
  static std::vector<std::string> ValueNames();
  // Shortens the start-up calibration to a few milliseconds.
  static void UseQuickCalibration();
};

// Wine's per-application Windows version for sentel.exe ("win98", "win2k"),
// or the default when empty.
void SetWineVersion(const char* version);

struct MessageBoxInfo {
  HWND window = nullptr;
  std::string caption;
  std::string text;
};

class Program {
 public:
  Program() = default;
  ~Program();
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  // Starts `folder`'s sentel.exe in `workingFolder`, or in `folder` when empty.
  bool Launch(const std::string& folder, const std::string& workingFolder = {});
  // The main dialog once it is visible and initialised, or null on time-out.
  // Without the settings key the full calibration runs: 4.4 million CPUIDs, 8 s
  // on a quiet machine, over 60 s where each traps for 4 us on shared cores.
  HWND WaitForDialog(DWORD timeoutMs = 180000);
  // A message box of this process (any top-level "#32770" other than the main
  // dialog), or nothing on time-out.
  std::optional<MessageBoxInfo> WaitForMessageBox(DWORD timeoutMs = 30000);
  // The exit code, or nothing while it still runs after `timeoutMs`.
  std::optional<DWORD> WaitForExit(DWORD timeoutMs = 30000);
  bool IsRunning() const;
  DWORD ProcessId() const { return info_.dwProcessId; }
  HWND Dialog() const { return dialog_; }
  // Top-level windows of the process with the given class.
  std::vector<HWND> TopLevelWindows(const char* className = "#32770") const;

 private:
  PROCESS_INFORMATION info_{};
  HWND dialog_ = nullptr;
};

// Presses a push button of another process's dialog.
void Click(HWND dialog, int id);

}  // namespace e2e
