// Appends sample lines to the real dialog's log through AppendLogText: the time
// per line with 1,000 lines in the log against the time per line with the full
// count, whether every line is kept, and the time and size of saving it.
// The lines between the two measured thousands go in with one insertion, which
// is what makes a million lines practical under Wine.
// Usage: log-append-bench.exe [lines] [output file]
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/DialogWindow.h"
#include "monitor/MonitorDialog.h"
#include "res/resource.h"

namespace {
constexpr long kMeasured = 1000;

double Seconds() {
  LARGE_INTEGER now, frequency;
  QueryPerformanceCounter(&now);
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

std::string SampleLine(long i) {
  char line[96];
  std::snprintf(line, sizeof line, "%02ld:%02ld:%02ld, %7.2f MHz, (%.1f%%), (%u K)\n",
                (i / 3600) % 24, (i / 60) % 60, i % 60, 2399.87 + (i % 7), 12.5,
                static_cast<unsigned>(523712 + i));
  return line;
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
  // Microseconds per line for lines [first, last].
  double AppendTimed(long first, long last, std::string& expected) {
    const double start = Seconds();
    for (long i = first; i <= last; ++i) {
      const std::string line = SampleLine(i);
      AppendLogText(line.c_str());
      expected += line;
    }
    return (Seconds() - start) * 1e6 / static_cast<double>(last - first + 1);
  }

  // The cost of each message of one append at the log's current size.
  void ProfileAppendSteps() {
    constexpr int kRounds = 20;
    const int length = GetWindowTextLengthW(logEdit);
    double t = Seconds();
    for (int i = 0; i < kRounds; ++i) GetWindowTextLengthW(logEdit);
    const double lengthUs = (Seconds() - t) * 1e6 / kRounds;
    t = Seconds();
    for (int i = 0; i < kRounds; ++i) SendMessageA(logEdit, EM_SETSEL, length, length);
    const double selectUs = (Seconds() - t) * 1e6 / kRounds;
    t = Seconds();
    for (int i = 0; i < kRounds; ++i) SendMessageA(logEdit, EM_SCROLLCARET, 0, 0);
    const double scrollUs = (Seconds() - t) * 1e6 / kRounds;
    t = Seconds();
    for (int i = 0; i < kRounds; ++i) {
      SendMessageA(logEdit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(""));
    }
    const double replaceUs = (Seconds() - t) * 1e6 / kRounds;
    std::printf("one append's messages: length %.0f us, select %.0f us, scroll %.0f us, "
                "empty insertion %.0f us\n", lengthUs, selectUs, scrollUs, replaceUs);
  }

  void Run() {
    // Hidden, as during a run.
    ShowWindow(Window(), SW_HIDE);
    std::string expected;
    expected.reserve(static_cast<size_t>(lines_) * 48);
    const double firstUs = AppendTimed(1, kMeasured, expected);

    const long bulkLast = lines_ - kMeasured;
    std::string bulk;
    for (long i = kMeasured + 1; i <= bulkLast; ++i) bulk += SampleLine(i);
    expected += bulk;
    const double bulkStart = Seconds();
    AppendLogText(bulk.c_str());
    const double bulkSeconds = Seconds() - bulkStart;
    bulk.clear();
    bulk.shrink_to_fit();

    const double lastUs = AppendTimed(bulkLast + 1, lines_, expected);
    ProfileAppendSteps();
    std::printf("append: %.1f us/line at 1,000 lines, %.1f us/line at %ld lines (%.2fx)\n", firstUs,
                lastUs, lines_, lastUs / firstUs);
    std::printf("bulk insertion of %ld lines: %.1f s\n", bulkLast - kMeasured, bulkSeconds);

    const int length = GetWindowTextLengthA(logEdit);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    text.resize(static_cast<size_t>(GetWindowTextA(logEdit, text.data(), length + 1)));
    long kept = 0;
    for (char c : text) kept += c == '\n';
    std::printf("log: %zu characters, %ld of %ld lines kept, %s\n", text.size(), kept, lines_,
                text == expected ? "identical to what was appended" : "DIFFERENT from what was appended");

    if (!output_.empty()) {
      DeleteFileA(output_.c_str());
      const double saveStart = Seconds();
      const HRESULT result = WriteLogFile(output_);
      const double saveSeconds = Seconds() - saveStart;
      WIN32_FILE_ATTRIBUTE_DATA data{};
      GetFileAttributesExA(output_.c_str(), GetFileExInfoStandard, &data);
      const unsigned long long bytes =
          (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
      std::printf("save: result 0x%08lx, %.2f s, %llu bytes (log %zu + %ld CR + header)\n",
                  static_cast<unsigned long>(result), saveSeconds, bytes, text.size(), kept);
    }
  }

  long lines_;
  std::string output_;
};
}  // namespace

int main(int argc, char** argv) {
  const long lines = argc > 1 ? std::atol(argv[1]) : 1000000;
  if (lines < 2 * kMeasured) {
    std::fprintf(stderr, "at least %ld lines\n", 2 * kMeasured);
    return 2;
  }
  const std::string output = argc > 2 ? argv[2] : "";
  const FrameworkModule framework(GetModuleHandleA(nullptr));
  BenchDialog dialog(lines, output);
  dialog.RunModal(GetModuleHandleA(nullptr), IDD_MONITOR, nullptr);
  return 0;
}
