// The main dialog's routing table and its frame handlers.
#include <windows.h>
// after windows.h
#include <mmsystem.h>

#include "app/AboutBox.h"
#include "app/IconSize.h"
#include "app/Startup.h"
#include "app/portable/Centering.h"
#include "monitor/MonitorDialog.h"
#include "res/resource.h"

namespace {
// A route matches a message (fixed, or registered at run time) and, for
// WM_COMMAND, a command id taken from the low word of wParam.
struct Route {
  UINT message;  // 0: use `registered`
  UINT (*registered)(const MonitorDialog&);
  int commandId;  // -1: any
  bool (*handle)(MonitorDialog&, WPARAM, LPARAM, LRESULT&);
};

constexpr int kAnyCommand = -1;

UINT TrayMessage(const MonitorDialog& d) { return d.trayIcon.notifyMessage; }
UINT TaskbarCreatedMessage(const MonitorDialog& d) { return d.trayIcon.taskbarCreatedMessage; }

bool HandleExit(MonitorDialog& d, WPARAM w, LPARAM, LRESULT& r) {
  r = d.OnExit(LOWORD(w));
  return true;
}

// A handler that takes nothing from the message and answers with what it returns.
template <auto Handler>
bool Answer(MonitorDialog& d, WPARAM, LPARAM, LRESULT& r) {
  r = static_cast<LRESULT>((d.*Handler)());
  return true;
}

const Route kRoutes[] = {
    {WM_INITDIALOG, nullptr, kAnyCommand, Answer<&MonitorDialog::OnInitDialog>},
    {WM_COMMAND, nullptr, IDCANCEL, HandleExit},
    {WM_COMMAND, nullptr, IDC_EXIT, HandleExit},
    {WM_COMMAND, nullptr, IDC_SAVE_ON_STOP, Answer<&MonitorDialog::OnSaveOnStop>},
    {WM_COMMAND, nullptr, IDC_SAVE, Answer<&MonitorDialog::OnSaveLog>},
    {WM_COMMAND, nullptr, IDC_START_STOP, Answer<&MonitorDialog::OnStartStop>},
    {WM_COMMAND, nullptr, ID_TRAY_SHOW, Answer<&MonitorDialog::OnShow>},
    {WM_COMMAND, nullptr, ID_APP_ABOUT, Answer<&MonitorDialog::OnAbout>},
    {WM_SYSCOMMAND, nullptr, kAnyCommand,
     [](MonitorDialog& d, WPARAM w, LPARAM, LRESULT& r) {
       r = 0;
       return d.OnSysCommand(w);
     }},
    {WM_TIMER, nullptr, kAnyCommand, Answer<&MonitorDialog::OnSampleTimer>},
    {WM_HELP, nullptr, kAnyCommand, Answer<&MonitorDialog::OnHelp>},
    {0, TrayMessage, kAnyCommand,
     [](MonitorDialog& d, WPARAM w, LPARAM l, LRESULT& r) {
       r = d.trayIcon.OnTrayNotify(w, l);
       return true;
     }},
    {0, TaskbarCreatedMessage, kAnyCommand,
     [](MonitorDialog& d, WPARAM, LPARAM, LRESULT& r) {
       d.trayIcon.OnTaskbarCreated();
       r = 0;
       return true;
     }},
    // Only the icons: the dialog manager scales the rest, so the message goes on to it.
    {kDpiChangedMessage, nullptr, kAnyCommand,
     [](MonitorDialog& d, WPARAM w, LPARAM, LRESULT& r) {
       d.ShowWindowIcons(LOWORD(w));
       r = 0;
       return false;
     }},
    {WM_ENDSESSION, nullptr, kAnyCommand,
     [](MonitorDialog& d, WPARAM w, LPARAM, LRESULT& r) {
       r = d.OnEndSession(w != 0);
       return true;
     }},
};

bool Matches(const Route& route, const MonitorDialog& dialog, UINT message, WPARAM wParam) {
  const UINT wanted = route.message != 0 ? route.message : route.registered(dialog);
  if (wanted == 0 || wanted != message) return false;
  return route.commandId == kAnyCommand || route.commandId == LOWORD(wParam);
}
}  // namespace

bool MonitorDialog::RouteMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  for (const Route& route : kRoutes) {
    if (Matches(route, *this, message, wParam)) return route.handle(*this, wParam, lParam, result);
  }
  return false;
}

LRESULT MonitorDialog::OnExit(UINT commandId) {
  FinishRunBeforeLeaving();
  if (!leavingSession) timeEndPeriod(1);
  SaveSettings();
  EndDialog(Window(), static_cast<INT_PTR>(commandId));
  return 0;
}

// Windows is ending the session and may end the process once this returns:
// what Exit does but end the dialog, so that nothing of the run or the settings is lost.
LRESULT MonitorDialog::OnEndSession(bool ending) {
  if (!ending || leavingSession) return 0;
  leavingSession = true;
  FinishRunBeforeLeaving();
  timeEndPeriod(1);
  SaveSettings();
  return 0;
}

LRESULT MonitorDialog::OnAbout() {
  AboutBox box;
  // Normally the main dialog; a tray click has made it the foreground window.
  box.Run(GetActiveWindow());
  return 0;
}

LRESULT MonitorDialog::OnShow() {
  BringToFront(Window());
  return 0;
}

bool MonitorDialog::OnSysCommand(WPARAM command) {
  switch (command & 0xFFF0) {
    case ID_APP_ABOUT:
      OnAbout();
      return true;
    case SC_MINIMIZE:
      // Hidden, not minimised: only the notification-area icon remains.
      ShowWindow(Window(), SW_HIDE);
      return true;
    default:
      return false;
  }
}

// F1 and the context-help button lead nowhere: there is no help file.
LRESULT MonitorDialog::OnHelp() { return 1; }

BOOL MonitorDialog::CenterOnOwner(HWND center) {
  const HWND dialog = Window();
  const LONG style = GetWindowLongA(dialog, GWL_STYLE);
  if (center == nullptr) {
    center = (style & WS_CHILD) ? GetParent(dialog) : GetWindow(dialog, GW_OWNER);
  }
  RECT window{};
  GetWindowRect(dialog, &window);
  const int width = window.right - window.left;
  const int height = window.bottom - window.top;

  RECT area{};
  RECT centre{};
  if (style & WS_CHILD) {
    const HWND parent = GetParent(dialog);
    GetClientRect(parent, &area);
    GetClientRect(center, &centre);
    MapWindowPoints(center, parent, reinterpret_cast<POINT*>(&centre), 2);
  } else {
    if (center != nullptr) {
      const LONG centreStyle = GetWindowLongA(center, GWL_STYLE);
      if (!(centreStyle & WS_VISIBLE) || (centreStyle & WS_MINIMIZE)) center = nullptr;
    }
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    if (center != nullptr) {
      GetWindowRect(center, &centre);
    } else {
      centre = area;
    }
  }
  const Point at =
      CenteredPosition(width, height, {centre.left, centre.top, centre.right, centre.bottom},
                       {area.left, area.top, area.right, area.bottom});
  return SetWindowPos(dialog, nullptr, at.x, at.y, -1, -1,
                      SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
