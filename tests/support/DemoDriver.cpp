// Drives the short demonstration run of scripts/run from outside, as a user
// would: the settings for a run of one-second samples, Start, the samples,
// Stop and Exit. One step per call, so that the script can look in between:
//   sentel_demo_driver settings | start SAMPLES | stop
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "res/resource.h"
#include "tests/e2e/Driver.h"

using e2e::ControlText;
using e2e::Settings;
using e2e::WaitUntil;

namespace {
bool SetSettings() {
  // A quick calibration, samples every second from Start, every figure, saved
  // on Stop, and the dialog left on the screen during the run.
  Settings::UseQuickCalibration();
  const struct {
    const char* name;
    uint32_t value;
  } values[] = {{"StartTime", 0}, {"CheckTime", 1},      {"CpuLoad", 1}, {"FreeMem", 1},
                {"CoreClock", 1}, {"ThermalMonitor", 1}, {"MmTimer", 0}, {"CoolBits", 1}};
  bool ok = true;
  for (const auto& value : values) {
    Settings::SetDword(value.name, value.value);
    ok = ok && Settings::ReadDword(value.name) == value.value;
  }
  return ok;
}

HWND FindDialog() { return FindWindowA("#32770", "Tervo"); }

size_t SampleLines(HWND dialog) {
  size_t count = 0;
  const std::string text = ControlText(dialog, IDC_LOG);
  for (size_t at = text.find(" MHz"); at != std::string::npos; at = text.find(" MHz", at + 1)) {
    // The core clock's piece ends with " MHz)" on the same line.
    if (at + 4 >= text.size() || text[at + 4] != ')') ++count;
  }
  return count;
}

void Press(HWND dialog, int id) {
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

int Fail(const char* what) {
  std::fprintf(stderr, "demo: %s\n", what);
  return 1;
}
}  // namespace

int main(int argc, char** argv) {
  const std::string step = argc > 1 ? argv[1] : "";
  if (step == "settings") return SetSettings() ? 0 : Fail("the settings could not be written");

  HWND dialog = nullptr;
  if (!WaitUntil([&] { return (dialog = FindDialog()) != nullptr && IsWindowVisible(dialog); },
                 60000)) {
    return Fail("the dialog did not appear");
  }
  if (step == "start") {
    const size_t samples = argc > 2 ? std::strtoul(argv[2], nullptr, 10) : 10;
    Press(dialog, IDC_START_STOP);
    if (!WaitUntil([&] { return SampleLines(dialog) >= samples; }, 30000 + 2000 * samples)) {
      return Fail("the samples did not come");
    }
    return 0;
  }
  if (step == "stop") {
    Press(dialog, IDC_START_STOP);
    if (!WaitUntil([&] { return ControlText(dialog, IDC_START_STOP) == "Start"; }, 20000)) {
      return Fail("the run did not stop");
    }
    Press(dialog, IDC_EXIT);
    return WaitUntil([] { return FindDialog() == nullptr; }, 20000) ? 0 : Fail("it did not exit");
  }
  return Fail("usage: sentel_demo_driver settings | start SAMPLES | stop");
}
