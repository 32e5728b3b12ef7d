// A monitoring run of the real program at a one-second period with the native
// load method and the memory figure: the program's CPU time over the run as a
// share of one core, and its working set at the end.
// With "journal", "Save on Stop" stays ticked, so that every line also goes
// to the run journal on the disk.
// Usage: log-run-bench.exe [seconds] [journal]   (run from the folder holding sentel.exe)
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "res/resource.h"
#include "tests/e2e/Driver.h"

namespace {
double CpuSeconds(HANDLE process) {
  FILETIME created, exited, kernel, user;
  GetProcessTimes(process, &created, &exited, &kernel, &user);
  auto seconds = [](const FILETIME& t) {
    return static_cast<double>((static_cast<unsigned long long>(t.dwHighDateTime) << 32) |
                               t.dwLowDateTime) /
           1e7;
  };
  return seconds(kernel) + seconds(user);
}

size_t LogLineCount(HWND dialog) {
  const std::string text = e2e::ControlText(dialog, IDC_LOG);
  size_t lines = 0;
  for (char c : text) lines += c == '\n';
  return lines;
}
}  // namespace

int main(int argc, char** argv) {
  const int seconds = argc > 1 ? std::atoi(argv[1]) : 600;
  const bool journal = argc > 2 && std::string(argv[2]) == "journal";
  e2e::Settings::DeleteKey();
  e2e::Settings::UseQuickCalibration();
  e2e::Settings::SetDword("StartTime", 0);
  e2e::Settings::SetDword("CheckTime", 1);
  e2e::Settings::SetDword("CpuLoad", 1);
  e2e::Settings::SetDword("FreeMem", 1);
  e2e::Settings::SetDword("CoolBits", 0x10);  // leave the settings alone
  const std::string folder = e2e::MakeSandbox("log-run-bench");
  e2e::CopyInto(folder, "sentel.exe");
  e2e::Program program;
  if (!program.Launch(folder)) return 1;
  HWND dialog = program.WaitForDialog();
  if (dialog == nullptr) return 1;
  // Native method; no file at Stop and no journal unless asked for.
  SendMessageA(GetDlgItem(dialog, IDC_USE_IDLE_THREAD), BM_SETCHECK, BST_UNCHECKED, 0);
  SendMessageA(GetDlgItem(dialog, IDC_SAVE_ON_STOP), BM_SETCHECK,
               journal ? BST_CHECKED : BST_UNCHECKED, 0);
  HANDLE process =
      OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, program.ProcessId());
  e2e::Click(dialog, IDC_START_STOP);
  e2e::WaitUntil([&] { return LogLineCount(dialog) >= 1; }, 10000);

  const double cpuStart = CpuSeconds(process);
  const DWORD start = GetTickCount();
  Sleep(static_cast<DWORD>(seconds) * 1000);
  const double cpu = CpuSeconds(process) - cpuStart;
  const double wall = (GetTickCount() - start) / 1000.0;
  PROCESS_MEMORY_COUNTERS memory{};
  memory.cb = sizeof memory;
  GetProcessMemoryInfo(process, &memory, sizeof memory);
  const size_t samples = LogLineCount(dialog) - 1;

  std::printf("run (%s): %.0f s, %zu samples\n", journal ? "journal" : "no journal", wall, samples);
  if (journal) {
    const auto journals = e2e::ListFiles(folder, "*.journal");
    std::printf("journal: %zu file(s), %zu bytes\n", journals.size(),
                journals.empty() ? 0 : e2e::ReadFileBytes(folder + journals[0]).size());
  }
  std::printf("cpu: %.3f s = %.4f %% of one core\n", cpu, cpu / wall * 100.0);
  std::printf("working set: %.2f MB (peak %.2f MB)\n", memory.WorkingSetSize / 1048576.0,
              memory.PeakWorkingSetSize / 1048576.0);
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_START_STOP, BN_CLICKED), 0);
  Sleep(1000);
  PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
  program.WaitForExit();
  CloseHandle(process);
  e2e::Settings::DeleteKey();
  return 0;
}
