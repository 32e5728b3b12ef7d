// Appends sample lines to the real dialog's log through AppendLogText, in one
// run: the time per line with 1,000, 100,000 and 1,000,000 lines in the run,
// the working set the run's text adds beyond Start, whether every line is kept,
// what the log edit shows, and the time and size of the Save on Stop write.
// The lines between the measured stretches go in as batches of 10,000 lines,
// so that a million lines take minutes, not hours.
// Usage: log-append-bench.exe [lines] [output file]
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/DialogWindow.h"
#include "monitor/MonitorDialog.h"
#include "monitor/portable/JournalText.h"
#include "res/resource.h"

namespace {
constexpr long kFirstMeasured = 1000;
// Later stretches span at least two trims of the edit, so that their cost is in the mean.
constexpr long kLaterMeasured = 3000;
constexpr long kBatch = 10000;

double Seconds() {
  LARGE_INTEGER now, frequency;
  QueryPerformanceCounter(&now);
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double WorkingSetMb() {
  PROCESS_MEMORY_COUNTERS memory{};
  memory.cb = sizeof memory;
  GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory);
  return static_cast<double>(memory.WorkingSetSize) / 1048576.0;
}

std::string SampleLine(long i) {
  char line[96];
  std::snprintf(line, sizeof line, "%02ld:%02ld:%02ld, %7.2f MHz, (%.1f%%), (%u K)\n",
                (i / 3600) % 24, (i / 60) % 60, i % 60, 2399.87 + (i % 7), 12.5,
                static_cast<unsigned>(523712 + i));
  return line;
}

std::string ControlText(HWND control) {
  std::string text(static_cast<size_t>(GetWindowTextLengthA(control)) + 1, '\0');
  text.resize(
      static_cast<size_t>(GetWindowTextA(control, text.data(), static_cast<int>(text.size()))));
  return text;
}

class BenchDialog : public MonitorDialog {
 public:
  BenchDialog(long lines, std::string output) : lines_(lines), output_(std::move(output)) {}
  bool RouteMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override {
    if (message == WM_APP) {
      Run();
      EndDialog(Window(), 0);
      return true;
    }
    if (message == WM_TIMER) return true;
    const bool handled = MonitorDialog::RouteMessage(message, wParam, lParam, result);
    if (message == WM_INITDIALOG) PostMessageA(Window(), WM_APP, 0, 0);
    return handled;
  }

 private:
  struct Stretch {
    long lastLine;
    double meanUs;
    double longestUs;
  };

  // Lines [first, last] one by one.
  Stretch AppendTimed(long first, long last) {
    double longest = 0;
    const double start = Seconds();
    for (long i = first; i <= last; ++i) {
      const std::string line = SampleLine(i);
      const double before = Seconds();
      AppendLogText(line.c_str());
      const double took = Seconds() - before;
      if (took > longest) longest = took;
    }
    const double mean = (Seconds() - start) * 1e6 / static_cast<double>(last - first + 1);
    return {last, mean, longest * 1e6};
  }

  // Lines [first, last] in batches.
  void AppendBatches(long first, long last) {
    std::string batch;
    for (long i = first; i <= last; i += kBatch) {
      batch.clear();
      for (long j = i; j <= last && j < i + kBatch; ++j) batch += SampleLine(j);
      AppendLogText(batch.c_str());
    }
  }

  void Run() {
    // Hidden, as during a run, and empty, as after Start.
    ShowWindow(Window(), SW_HIDE);
    SetWindowTextA(logEdit, "");
    runText.Clear();
    logWindow.Clear();
    const double startMb = WorkingSetMb();

    std::vector<Stretch> stretches{AppendTimed(1, kFirstMeasured)};
    long done = kFirstMeasured;
    for (long mark : {100000L, lines_}) {
      if (mark > lines_ || mark - kLaterMeasured <= done) continue;
      AppendBatches(done + 1, mark - kLaterMeasured);
      stretches.push_back(AppendTimed(mark - kLaterMeasured + 1, mark));
      done = mark;
    }
    const double endMb = WorkingSetMb();

    for (const Stretch& s : stretches) {
      std::printf("append at %ld lines: %.1f us/line (%.2fx the first), longest %.1f ms\n",
                  s.lastLine, s.meanUs, s.meanUs / stretches[0].meanUs, s.longestUs / 1000);
    }
    const double textMb = static_cast<double>(runText.Size()) / 1048576.0;
    std::printf(
        "working set: %.1f MB at Start, %.1f MB at %ld lines: +%.1f MB for %.1f MB of "
        "text (%.3fx)\n",
        startMb, endMb, done, endMb - startMb, textMb, (endMb - startMb) / textMb);

    std::string expected;
    expected.reserve(runText.Size());
    for (long i = 1; i <= done; ++i) expected += SampleLine(i);
    std::printf(
        "run text: %zu bytes, %s\n", runText.Size(),
        LogText() == expected ? "every line, in order" : "DIFFERENT from what was appended");
    const std::string shown = ControlText(logEdit);
    const size_t noteEnd = shown.find("\r\n");
    const std::string newest = expected.substr(expected.size() - logWindow.ShownBytes());
    std::printf(
        "log edit: %zu characters, %ld lines; first \"%s\", then the newest %ld lines "
        "of the run with CR LF: %s\n",
        shown.size(), static_cast<long>(SendMessageA(logEdit, EM_GETLINECOUNT, 0, 0)),
        shown.substr(0, noteEnd).c_str(),
        static_cast<long>(std::count(newest.begin(), newest.end(), '\n')),
        shown.substr(noteEnd + 2) == WithCrLf(newest) ? "yes" : "NO");
    if (output_.empty()) return;
    DeleteFileA(output_.c_str());
    const double saveStart = Seconds();
    const HRESULT result = WriteLogFile(output_);
    const double saveSeconds = Seconds() - saveStart;
    WIN32_FILE_ATTRIBUTE_DATA data{};
    GetFileAttributesExA(output_.c_str(), GetFileExInfoStandard, &data);
    const unsigned long long bytes =
        (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    std::printf("save: result 0x%08lx, %.2f s, %llu bytes (text %zu + %ld CR + header)\n",
                static_cast<unsigned long>(result), saveSeconds, bytes, runText.Size(), done);
  }

  long lines_;
  std::string output_;
};
}  // namespace

int main(int argc, char** argv) {
  const long lines = argc > 1 ? std::atol(argv[1]) : 1000000;
  if (lines < 2 * kFirstMeasured + kLaterMeasured) {
    std::fprintf(stderr, "at least %ld lines\n", 2 * kFirstMeasured + kLaterMeasured);
    return 2;
  }
  const std::string output = argc > 2 ? argv[2] : "";
  const FrameworkModule framework(GetModuleHandleA(nullptr));
  BenchDialog dialog(lines, output);
  dialog.RunModal(GetModuleHandleA(nullptr), IDD_MONITOR, nullptr);
  return 0;
}
