// The program's entry point: one instance, one modal dialog.
#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <string>

#include "app/DialogWindow.h"
#include "app/MessageBoxes.h"
#include "app/ResourceStrings.h"
#include "app/Startup.h"
#include "app/WindowsVersion.h"
#include "monitor/MonitorDialog.h"
#include "res/resource.h"

namespace {
constexpr UINT kWarningStyle = MB_YESNO | MB_ICONWARNING;

int RunProgram(HINSTANCE instance) {
  // The language module is not chosen yet: this is always the executable's title.
  const std::string title = LoadResourceString(IDS_TITLE);
  const SingleInstance singleInstance(ClaimSingleInstance(title.c_str()));
  if (!singleInstance) return 0;

  // No window on purpose: the call only has user32 set up; its result means nothing.
  // cppcheck-suppress nullPointer
  DefWindowProcA(nullptr, 0, 0, 0);
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);
  const FrameworkModule framework(instance);

  if (IsObsoleteOs() && WarningBox(MAKEINTRESOURCEA(IDS_MSG_OBSOLETE_OS), kWarningStyle) == IDNO) {
    return 0;
  }
  SelectResourceModule();

  auto dialog = std::make_unique<MonitorDialog>();
  const INT_PTR endCode = dialog->RunModal(ResourceModule(), IDD_MONITOR, GetActiveWindow());
  dialog.reset();  // removes the tray icon
  return static_cast<int>(endCode);
}
}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  try {
    return RunProgram(instance);
  } catch (...) {
    return -1;
  }
}
