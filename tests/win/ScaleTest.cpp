// The main dialog and the About box at 100, 125, 150 and 200 % in English and
// German: every text fits its control in the control's own font, no control
// overlaps another or leaves the dialog, the log shows as many lines as at
// 96 DPI, and the icons come at the sizes the system asks for. Wine reads the
// scale (LogPixels of the current user) when a process starts, so each scale
// runs in a child process of this test program.
#include <windows.h>
// after windows.h
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "app/AboutBox.h"
#include "app/IconSize.h"
#include "monitor/MonitorDialog.h"
#include "res/resource.h"
#include "tests/win/DialogTestHost.h"
#include "tests/win/LanguageModule.h"

namespace {
constexpr char kChildVariable[] = "SENTEL_SCALE_CHILD";  // "dpi englishLines germanLines"
constexpr DWORD kScales[] = {120, 144, 192};
constexpr const char* kLanguages[] = {nullptr, "sentel1031.dll"};  // English is built in

// The scale of the processes started while it lives.
class ScopedLogPixels {
 public:
  explicit ScopedLogPixels(DWORD dpi) {
    RegCreateKeyExA(HKEY_CURRENT_USER, kDesktop, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key_,
                    nullptr);
    DWORD size = sizeof previous_;
    had_ = RegQueryValueExA(key_, "LogPixels", nullptr, nullptr,
                            reinterpret_cast<BYTE*>(&previous_), &size) == ERROR_SUCCESS;
    Set(dpi);
  }
  ~ScopedLogPixels() {
    if (had_) {
      Set(previous_);
    } else {
      RegDeleteValueA(key_, "LogPixels");
    }
    RegCloseKey(key_);
  }
  ScopedLogPixels(const ScopedLogPixels&) = delete;
  ScopedLogPixels& operator=(const ScopedLogPixels&) = delete;

 private:
  static constexpr char kDesktop[] = "Control Panel\\Desktop";
  void Set(DWORD dpi) {
    RegSetValueExA(key_, "LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi),
                   sizeof dpi);
  }
  HKEY key_ = nullptr;
  DWORD previous_ = 0;
  bool had_ = false;
};

int ScreenDpi() {
  const HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi;
}

std::string Describe(HWND control) {
  return "control " + std::to_string(GetDlgCtrlID(control)) + " \"" + testhost::TextOf(control) +
         "\"";
}

// Etched and framed lines: drawn under the headings that sit on them.
bool IsLine(HWND control, const std::string& className) {
  const LONG type = GetWindowLongA(control, GWL_STYLE) & SS_TYPEMASK;
  return className == "Static" &&
         ((type >= SS_BLACKRECT && type <= SS_WHITEFRAME) || type == SS_ETCHEDHORZ ||
          type == SS_ETCHEDVERT || type == SS_ETCHEDFRAME);
}

struct Font {
  explicit Font(HWND control) : window(control), dc(GetDC(control)) {
    const auto font = reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0));
    old = SelectObject(dc, font != nullptr ? font : GetStockObject(SYSTEM_FONT));
    GetTextMetricsA(dc, &metrics);
  }
  ~Font() {
    SelectObject(dc, old);
    ReleaseDC(window, dc);
  }
  Font(const Font&) = delete;
  Font& operator=(const Font&) = delete;
  // What `text` takes: wrapped at `width` as a static control wraps it, or on one line.
  SIZE Needs(const std::string& text, int width, bool oneLine) const {
    RECT needed{0, 0, width, 0};
    DrawTextA(dc, text.c_str(), -1, &needed,
              DT_CALCRECT | DT_EXPANDTABS | (oneLine ? DT_SINGLELINE : DT_WORDBREAK));
    return {needed.right, needed.bottom};
  }
  HWND window;
  HDC dc;
  HGDIOBJ old;
  TEXTMETRICA metrics{};
};

// The room a control leaves for its text: a check box loses its box and the gap
// after it, a push button its edges.
RECT TextRoom(HWND control, const std::string& className, const Font& font) {
  RECT room{};
  GetClientRect(control, &room);
  if (className == "Edit") {
    SendMessageA(control, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&room));
  } else if (className == "Button") {
    const LONG type = GetWindowLongA(control, GWL_STYLE) & BS_TYPEMASK;
    if (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON) {
      InflateRect(&room, -2 * GetSystemMetrics(SM_CXEDGE), -GetSystemMetrics(SM_CYEDGE));
    } else {
      room.left += GetSystemMetrics(SM_CXMENUCHECK) + font.metrics.tmAveCharWidth / 2;
    }
  }
  return room;
}

// Fit, overlap and bounds of every visible control of `dialog`.
void ExpectLaidOut(HWND dialog) {
  RECT client{};
  GetClientRect(dialog, &client);
  std::vector<std::pair<HWND, RECT>> solid;
  std::vector<std::pair<HWND, HWND>> spins;  // a spin control sits on its edit's border
  for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    if (!(GetWindowLongA(child, GWL_STYLE) & WS_VISIBLE))
      continue;  // the dialog itself may not show yet
    char name[32] = {};
    GetClassNameA(child, name, sizeof name);
    const std::string className = name;
    RECT at{};
    GetWindowRect(child, &at);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&at), 2);
    RECT inside{};
    IntersectRect(&inside, &at, &client);
    EXPECT_TRUE(EqualRect(&inside, &at)) << Describe(child) << " leaves the dialog";
    if (!IsLine(child, className)) solid.emplace_back(child, at);
    if (className == "msctls_updown32") {
      spins.emplace_back(child, reinterpret_cast<HWND>(SendMessageA(child, UDM_GETBUDDY, 0, 0)));
    }

    const std::string text = testhost::TextOf(child);
    const bool multiLine = className == "Edit" && (GetWindowLongA(child, GWL_STYLE) & ES_MULTILINE);
    const bool icon =
        className == "Static" && (GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON;
    if (text.empty() || multiLine || icon || className == "msctls_updown32") continue;
    const Font font(child);
    const RECT room = TextRoom(child, className, font);
    const SIZE needs = font.Needs(text, room.right - room.left, className != "Static");
    EXPECT_LE(needs.cx, room.right - room.left) << Describe(child) << " is too narrow";
    EXPECT_LE(needs.cy, room.bottom - room.top) << Describe(child) << " is too low";
  }
  const auto spinOf = [&](HWND spin, HWND edit) {
    return std::find(spins.begin(), spins.end(), std::make_pair(spin, edit)) != spins.end();
  };
  for (size_t i = 0; i < solid.size(); ++i) {
    for (size_t j = i + 1; j < solid.size(); ++j) {
      const HWND a = solid[i].first;
      const HWND b = solid[j].first;
      if (spinOf(a, b) || spinOf(b, a)) continue;
      RECT common{};
      EXPECT_FALSE(IntersectRect(&common, &solid[i].second, &solid[j].second))
          << Describe(solid[i].first) << " overlaps " << Describe(solid[j].first);
    }
  }
}

int IconWidth(HICON icon) {
  ICONINFO info{};
  if (icon == nullptr || !GetIconInfo(icon, &info)) return 0;
  BITMAP bitmap{};
  GetObjectA(info.hbmColor != nullptr ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap);
  if (info.hbmColor != nullptr) DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
  return bitmap.bmWidth;
}

int WindowIconWidth(HWND window, WPARAM which) {
  return IconWidth(reinterpret_cast<HICON>(SendMessageA(window, WM_GETICON, which, 0)));
}

// Lines of the log edit's own font that its formatting rectangle holds.
int LogLines(HWND log) {
  RECT text{};
  SendMessageA(log, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&text));
  const Font font(log);
  return (text.bottom - text.top) / font.metrics.tmHeight;
}

// Both dialogs in the current language at this process's scale; the log's lines.
int CheckDialogs() {
  testhost::SetSetting("Divisor", 1000000);
  testhost::SetSetting("MMDelay", 50);
  int lines = 0;
  testhost::Hosted<MonitorDialog> main;
  main.realInit = true;
  main.body = [&](MonitorDialog& d) {
    SCOPED_TRACE("main dialog");
    ExpectLaidOut(d.Window());
    lines = LogLines(d.logEdit);
    EXPECT_EQ(GetSystemMetrics(SM_CXICON), WindowIconWidth(d.Window(), ICON_BIG));
    EXPECT_EQ(GetSystemMetrics(SM_CXSMICON), WindowIconWidth(d.Window(), ICON_SMALL));
    EXPECT_EQ(GetSystemMetrics(SM_CXSMICON), IconWidth(d.trayIcon.iconData.hIcon));
  };
  EXPECT_EQ(0, main.RunModal(ResourceModule(), IDD_MONITOR, nullptr));
  RegDeleteKeyA(HKEY_CURRENT_USER, testhost::kSettingsKey);

  testhost::Hosted<AboutBox> about;
  about.realInit = true;
  about.body = [](AboutBox& box) {
    SCOPED_TRACE("About box");
    ExpectLaidOut(box.Window());
    const HWND icon = GetWindow(box.Window(), GW_CHILD);
    EXPECT_EQ(GetSystemMetrics(SM_CXICON),
              IconWidth(reinterpret_cast<HICON>(SendMessageA(icon, STM_GETICON, 0, 0))));
  };
  EXPECT_EQ(0, about.RunModal(ResourceModule(), IDD_ABOUTBOX, nullptr));
  return lines;
}

// In a child: both languages at the scale the parent set, against its lines at 96 DPI.
void RunAsChild(const char* arguments) {
  std::istringstream in(arguments);
  int dpi = 0;
  int baseline[2] = {};
  in >> dpi >> baseline[0] >> baseline[1];
  ASSERT_EQ(dpi, ScreenDpi()) << "the scale did not reach the new process";
  for (int language = 0; language < 2; ++language) {
    SCOPED_TRACE(std::to_string(dpi) + " DPI, " + (language == 0 ? "English" : "German"));
    std::optional<WithLanguageModule> module;
    if (kLanguages[language] != nullptr) {
      ASSERT_TRUE(module.emplace(kLanguages[language]).Loaded());
    }
    EXPECT_GE(CheckDialogs(), baseline[language]) << "the log shows fewer lines than at 96 DPI";
  }
}

// Runs this test again in a new process; its output joins this one's.
DWORD RunChild(const std::string& arguments) {
  char program[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, program, MAX_PATH);
  const std::string filter = std::string("--gtest_filter=") +
                             testing::UnitTest::GetInstance()->current_test_suite()->name() + "." +
                             testing::UnitTest::GetInstance()->current_test_info()->name();
  std::string line = "\"" + std::string(program) + "\" " + filter;
  SetEnvironmentVariableA(kChildVariable, arguments.c_str());
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
  startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  PROCESS_INFORMATION child{};
  const BOOL started = CreateProcessA(program, line.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                      nullptr, &startup, &child);
  SetEnvironmentVariableA(kChildVariable, nullptr);
  if (!started) return GetLastError() | 0x80000000u;
  DWORD code = STILL_ACTIVE;
  if (WaitForSingleObject(child.hProcess, 100000) == WAIT_OBJECT_0) {
    GetExitCodeProcess(child.hProcess, &code);
  } else {
    TerminateProcess(child.hProcess, 1);
  }
  CloseHandle(child.hThread);
  CloseHandle(child.hProcess);
  return code;
}
}  // namespace

TEST(Scale, BothDialogsFitAtEveryScaleInBothLanguages) {
  if (const char* arguments = std::getenv(kChildVariable)) {
    RunAsChild(arguments);
    return;
  }
  ASSERT_EQ(96, ScreenDpi()) << "the tests' prefix runs at 100 %";
  int baseline[2] = {};
  for (int language = 0; language < 2; ++language) {
    SCOPED_TRACE(std::string("96 DPI, ") + (language == 0 ? "English" : "German"));
    std::optional<WithLanguageModule> module;
    if (kLanguages[language] != nullptr) {
      ASSERT_TRUE(module.emplace(kLanguages[language]).Loaded());
    }
    baseline[language] = CheckDialogs();
    EXPECT_GT(baseline[language], 0);
  }
  for (DWORD dpi : kScales) {
    const ScopedLogPixels scale(dpi);
    const std::string arguments =
        std::to_string(dpi) + " " + std::to_string(baseline[0]) + " " + std::to_string(baseline[1]);
    EXPECT_EQ(0u, RunChild(arguments)) << dpi << " DPI: see the child's failures above";
  }
}

// A move to a display of another scale: the window's icons and the About box's
// follow it, the notification area's stays at the system's scale.
TEST(Scale, TheWindowIconsFollowTheDisplaysScale) {
  const UINT other = 2 * static_cast<UINT>(ScreenDpi());
  if (SystemMetricAt(SM_CXICON, other) == GetSystemMetrics(SM_CXICON)) {
    GTEST_SKIP() << "no metrics per DPI (before Windows 10 1607)";
  }
  testhost::SetSetting("Divisor", 1000000);
  testhost::SetSetting("MMDelay", 50);
  testhost::Hosted<MonitorDialog> main;
  main.realInit = true;
  main.body = [&](MonitorDialog& d) {
    const HICON tray = d.trayIcon.iconData.hIcon;
    RECT suggested{};
    GetWindowRect(d.Window(), &suggested);
    SendMessageA(d.Window(), kDpiChangedMessage, MAKEWPARAM(other, other),
                 reinterpret_cast<LPARAM>(&suggested));
    EXPECT_EQ(SystemMetricAt(SM_CXICON, other), WindowIconWidth(d.Window(), ICON_BIG));
    EXPECT_EQ(SystemMetricAt(SM_CXSMICON, other), WindowIconWidth(d.Window(), ICON_SMALL));
    EXPECT_EQ(tray, d.trayIcon.iconData.hIcon);
    EXPECT_EQ(GetSystemMetrics(SM_CXSMICON), IconWidth(tray));
  };
  main.Run();
  RegDeleteKeyA(HKEY_CURRENT_USER, testhost::kSettingsKey);

  testhost::Hosted<AboutBox> about;
  about.realInit = true;
  about.body = [&](AboutBox& box) {
    RECT suggested{};
    GetWindowRect(box.Window(), &suggested);
    SendMessageA(box.Window(), kDpiChangedMessage, MAKEWPARAM(other, other),
                 reinterpret_cast<LPARAM>(&suggested));
    const HWND icon = GetWindow(box.Window(), GW_CHILD);
    EXPECT_EQ(SystemMetricAt(SM_CXICON, other),
              IconWidth(reinterpret_cast<HICON>(SendMessageA(icon, STM_GETICON, 0, 0))));
  };
  about.Run(IDD_ABOUTBOX);
}
