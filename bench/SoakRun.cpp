// The soak run: a long run at a 1 s period with load and memory, ended by Stop
// with Save on Stop. Reports whether every line reached the file in order, and
// the program's handle count and working set after the first minute and at the end.
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>

#include "res/resource.h"
#include "tests/e2e/Driver.h"
#include "tests/e2e/RunHelpers.h"

using namespace e2e;

namespace {
struct Usage {
  DWORD handles = 0;
  SIZE_T workingSet = 0;
};

// Wine reports no handle count for another process; there the handles that can
// be duplicated out of it are counted instead (handle values are multiples of 4).
DWORD CountHandlesByDuplicating(HANDLE process) {
  DWORD count = 0;
  for (ULONG_PTR value = 4; value < 0x10000; value += 4) {
    HANDLE copy = nullptr;
    if (DuplicateHandle(process, reinterpret_cast<HANDLE>(value), GetCurrentProcess(), &copy, 0,
                        FALSE, DUPLICATE_SAME_ACCESS)) {
      ++count;
      CloseHandle(copy);
    }
  }
  return count;
}

Usage Measure(HANDLE process) {
  Usage usage;
  if (!GetProcessHandleCount(process, &usage.handles) || usage.handles == 0) {
    usage.handles = CountHandlesByDuplicating(process);
  }
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  if (GetProcessMemoryInfo(process, &counters, sizeof counters)) {
    usage.workingSet = counters.WorkingSetSize;
  }
  return usage;
}

int SecondsOfDay(const std::string& line) {
  int h = 0, m = 0, s = 0;
  if (std::sscanf(line.c_str(), "%2d:%2d:%2d,", &h, &m, &s) != 3) return -1;
  return h * 3600 + m * 60 + s;
}
}  // namespace

int main(int argc, char** argv) {
  const int minutes = argc > 1 ? std::atoi(argv[1]) : 30;
  Settings::DeleteKey();
  Settings::UseQuickCalibration();
  Settings::SetDword("StartTime", 0);
  Settings::SetDword("CheckTime", 1);
  Settings::SetDword("CpuLoad", 1);
  Settings::SetDword("MmTimer", 0);
  Settings::SetDword("FreeMem", 1);
  const std::string folder = MakeSandbox("Soak");
  CopyInto(folder, "sentel.exe");

  Program program;
  if (!program.Launch(folder) || program.WaitForDialog() == nullptr) {
    std::printf("soak: the dialog did not open\n");
    return 1;
  }
  HWND dialog = program.Dialog();
  HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ | PROCESS_DUP_HANDLE,
                               FALSE, program.ProcessId());
  PostMessageA(dialog, WM_COMMAND, IDC_START_STOP, 0);
  const DWORD start = GetTickCount();
  Sleep(60 * 1000);
  const Usage first = Measure(process);
  const size_t firstLength = WindowText(GetDlgItem(dialog, IDC_LOG)).size();
  while (GetTickCount() - start < static_cast<DWORD>(minutes) * 60 * 1000) Sleep(1000);
  const Usage last = Measure(process);
  const size_t lastLength = WindowText(GetDlgItem(dialog, IDC_LOG)).size();
  // While the run goes on, the journal holds every line the log shows (a tick
  // may fall between the two readings: the log is read again until they agree).
  bool journalComplete = false;
  WaitUntil(
      [&] {
        const auto journals = ListFiles(folder, "*.journal");
        if (journals.size() != 1) return false;
        // The edit shows CR LF already, as the journal holds it.
        const std::string expected = runs::ShownLog(dialog);
        const std::string journal = ReadFileBytes(folder + journals[0]);
        journalComplete =
            journal.size() >= expected.size() &&
            journal.compare(journal.size() - expected.size(), std::string::npos, expected) == 0;
        return journalComplete;
      },
      5000);
  PostMessageA(dialog, WM_COMMAND, IDC_START_STOP, 0);

  std::string log;
  WaitUntil(
      [&] {
        for (const std::string& name : ListFiles(folder, "log_*.txt")) {
          log = ReadFileBytes(folder + name);
          if (log.find("stopped: ") != std::string::npos) return true;
        }
        return false;
      },
      60000);
  const bool journalGone = WaitUntil([&] { return ListFiles(folder, "*.journal").empty(); }, 5000);
  PostMessageA(dialog, WM_COMMAND, IDC_EXIT, 0);
  const auto exitCode = program.WaitForExit(30000);

  int samples = 0, outOfOrder = 0, previous = -1;
  std::istringstream lines(log);
  for (std::string line; std::getline(lines, line);) {
    const int second = SecondsOfDay(line);
    if (second < 0) continue;
    ++samples;
    if (previous >= 0 && second < previous && !(previous > 86000 && second < 400)) ++outOfOrder;
    previous = second;
  }
  std::printf("soak: %d min, %d sample lines in the file (expected about %d), %d out of order\n",
              minutes, samples, minutes * 60, outOfOrder);
  std::printf("soak: journal held every line shown before Stop: %s; no journal after Stop: %s\n",
              journalComplete ? "yes" : "no", journalGone ? "yes" : "no");
  std::printf("soak: handles %lu after 1 min, %lu at the end\n", first.handles, last.handles);
  std::printf(
      "soak: working set %.1f MB after 1 min, %.1f MB at the end; log text %zu -> %zu bytes\n",
      first.workingSet / 1048576.0, last.workingSet / 1048576.0, firstLength, lastLength);
  std::printf("soak: exit code %lu\n", exitCode ? *exitCode : 0xFFFFFFFFul);
  CloseHandle(process);
  Settings::DeleteKey();
  const bool allLines = samples >= minutes * 60 - 5 && outOfOrder == 0;
  // The edit control keeps the log as UTF-16: two bytes a character is the log's
  // own share of the growth; the rest may only be heap and page rounding.
  const double growth =
      static_cast<double>(last.workingSet) - static_cast<double>(first.workingSet);
  const double beyondLog = growth - 2.0 * static_cast<double>(lastLength - firstLength);
  std::printf("soak: working set growth beyond the log's own size: %.0f KB\n", beyondLog / 1024);
  const bool steady = last.handles <= first.handles && beyondLog <= 1024.0 * 1024.0;
  return allLines && steady && journalComplete && journalGone ? 0 : 1;
}
