// The program's resources as the dialog manager and the menu code see them.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "res/resource.h"
#include "tests/win/DialogTestHost.h"

namespace {
using testhost::MenuText;
using testhost::TextOf;

struct ExpectedControl {
  int id;
  const char* className;
  const char* text;
  RECT position;  // dialog units: x, y, width, height
  DWORD style;
};

// The main dialog's controls in tab order.
const std::vector<ExpectedControl> kMainDialog = {
    {-1, "Static", "Start delay:", {20, 10, 70, 8}, 0x50020000},
    {IDC_START_DELAY, "Edit", "", {90, 7, 40, 14}, 0x50810080},
    {-1, "Static", "min", {135, 10, 20, 8}, 0x50020000},
    {-1, "Static", "Check period:", {20, 33, 70, 8}, 0x50020000},
    {IDC_CHECK_PERIOD, "Edit", "", {90, 30, 40, 14}, 0x50810080},
    {-1, "Static", "sec", {135, 33, 20, 8}, 0x50020000},
    {IDC_USE_IDLE_THREAD, "Button", "Use idle thread", {180, 7, 85, 10}, 0x50010003},
    {IDC_USE_MM_TIMER, "Button", "Use MM timer", {180, 32, 85, 10}, 0x50010003},
    {-1, "Static", "", {7, 60, 286, 1}, 0x50001007},
    {-1, "Static", "Watch List", {7, 56, 48, 8}, 0x50020000},
    {IDC_CHECK_CPU_CLOCK, "Button", "Check CPU clock", {90, 68, 85, 10}, 0x58010003},
    {IDC_CHECK_CPU_LOAD, "Button", "Check CPU load", {90, 84, 85, 10}, 0x58010003},
    {IDC_CHECK_BUS_CLOCK, "Button", "Check Bus clock", {90, 100, 85, 10}, 0x58010003},
    {IDC_AVAILABLE_MEMORY, "Button", "Available memory", {180, 68, 100, 10}, 0x58010003},
    {IDC_THERMAL_MONITOR, "Button", "Thermal monitor", {180, 84, 100, 10}, 0x58010003},
    {IDC_CORE_CLOCK, "Button", "Core clock", {180, 100, 100, 10}, 0x50010003},
    {-1, "Static", "Log:", {20, 116, 30, 8}, 0x50020000},
    {IDC_LOG, "Edit", "", {7, 126, 286, 136}, 0x50A00844},
    {-1, "Static", "", {7, 270, 286, 1}, 0x50001007},
    {IDC_SAVE, "Button", "Save...", {7, 279, 50, 14}, 0x50010000},
    {IDC_SAVE_ON_STOP, "Button", "Save on Stop", {90, 283, 85, 10}, 0x50010003},
    {IDC_START_STOP, "Button", "Start", {180, 279, 50, 14}, 0x50010001},
    {IDC_EXIT, "Button", "Exit", {243, 279, 50, 14}, 0x50010000},
};

const std::vector<ExpectedControl> kAboutBox = {
    {-1, "Static", "", {7, 7, 20, 20}, 0x50000003},
    {-1, "Static", "Tervo Version 1.0\n\nCopyright (C) 2004 Brevane\nAll rights reserved.",
     {50, 7, 183, 33}, 0x50020000},
    {-1, "Static", "", {7, 70, 226, 1}, 0x50000010},
    {IDOK, "Button", "OK", {183, 79, 50, 14}, 0x50010001},
};

INT_PTR CALLBACK InertProc(HWND, UINT message, WPARAM, LPARAM) {
  return message == WM_INITDIALOG;
}

// Creates the dialog without showing it and compares every control with `controls`.
void ExpectTemplate(UINT id, const std::vector<ExpectedControl>& controls, DWORD frameStyle,
                    const char* caption, int width, int height) {
  HWND dialog =
      CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), nullptr, InertProc, 0);
  ASSERT_NE(nullptr, dialog);
  // The dialog manager adds clipping of siblings and the 3D look.
  EXPECT_EQ(frameStyle,
            static_cast<DWORD>(GetWindowLongA(dialog, GWL_STYLE)) & ~(WS_CLIPSIBLINGS | DS_3DLOOK));
  EXPECT_EQ(caption, TextOf(dialog));
  RECT size{0, 0, width, height};
  MapDialogRect(dialog, &size);
  RECT client{};
  GetClientRect(dialog, &client);
  EXPECT_EQ(size.right, client.right);
  EXPECT_EQ(size.bottom, client.bottom);

  HWND child = GetWindow(dialog, GW_CHILD);
  for (const ExpectedControl& want : controls) {
    ASSERT_NE(nullptr, child) << want.text;
    char className[32] = {};
    GetClassNameA(child, className, sizeof className);
    EXPECT_STRCASEEQ(want.className, className) << want.text;
    EXPECT_EQ(want.id, static_cast<int>(static_cast<short>(GetDlgCtrlID(child)))) << want.text;
    if (want.style != 0x50000003) {
      EXPECT_EQ(want.text, TextOf(child));
    }
    // An edit's border becomes the sunken client edge of the 3D look.
    const bool clientEdge = GetWindowLongA(child, GWL_EXSTYLE) & WS_EX_CLIENTEDGE;
    EXPECT_EQ(want.style, static_cast<DWORD>(GetWindowLongA(child, GWL_STYLE)) |
                              (clientEdge ? WS_BORDER : 0))
        << want.text;
    RECT expected{want.position.left, want.position.top, want.position.left + want.position.right,
                  want.position.top + want.position.bottom};
    MapDialogRect(dialog, &expected);
    RECT actual{};
    GetWindowRect(child, &actual);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&actual), 2);
    EXPECT_EQ(expected.left, actual.left) << want.text;
    EXPECT_EQ(expected.top, actual.top) << want.text;
    child = GetWindow(child, GW_HWNDNEXT);
  }
  EXPECT_EQ(nullptr, child);
  DestroyWindow(dialog);
}
}  // namespace

TEST(Resources, TheMainDialogHasEveryControlInTabOrder) {
  ExpectTemplate(IDD_MONITOR, kMainDialog, 0x80C820C8, "sentel", 300, 300);
}

TEST(Resources, TheAboutBoxHasItsIconTextLineAndButton) {
  ExpectTemplate(IDD_ABOUTBOX, kAboutBox, 0x80C800C8, "About", 240, 100);
}

TEST(Resources, TheTrayMenuHasShowAboutAndExit) {
  HMENU menu = LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_TRAYMENU));
  ASSERT_NE(nullptr, menu);
  EXPECT_EQ("_POPUP_", MenuText(menu, 0));
  HMENU popup = GetSubMenu(menu, 0);
  ASSERT_EQ(4, GetMenuItemCount(popup));
  EXPECT_EQ(static_cast<UINT>(ID_TRAY_SHOW), GetMenuItemID(popup, 0));
  EXPECT_EQ("&Show", MenuText(popup, 0));
  MENUITEMINFOA separator{};
  separator.cbSize = sizeof separator;
  separator.fMask = MIIM_FTYPE;
  GetMenuItemInfoA(popup, 1, TRUE, &separator);
  EXPECT_TRUE(separator.fType & MFT_SEPARATOR);
  EXPECT_EQ(static_cast<UINT>(ID_APP_ABOUT), GetMenuItemID(popup, 2));
  EXPECT_EQ("&About...", MenuText(popup, 2));
  EXPECT_EQ(static_cast<UINT>(IDC_EXIT), GetMenuItemID(popup, 3));
  EXPECT_EQ("E&xit", MenuText(popup, 3));
  DestroyMenu(menu);
}

TEST(Resources, TheIconHasBothSizes) {
  for (int size : {16, 32}) {
    HICON icon = static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr),
                                               MAKEINTRESOURCEA(IDR_MAINFRAME), IMAGE_ICON, size,
                                               size, LR_DEFAULTCOLOR));
    ASSERT_NE(nullptr, icon) << size;
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(icon, &info));
    BITMAP bitmap{};
    GetObjectA(info.hbmColor, sizeof bitmap, &bitmap);
    EXPECT_EQ(size, bitmap.bmWidth);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    DestroyIcon(icon);
  }
}

TEST(Resources, TheVersionBlockNamesTheProgram) {
  // VerQueryValueA converts texts into room that GetFileVersionInfoA leaves after
  // the block; a bare copy of the resource has none, and the conversion overran it.
  char program[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, program, MAX_PATH);
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeA(program, &ignored);
  ASSERT_GT(size, 0u);
  std::vector<char> block(size);
  ASSERT_TRUE(GetFileVersionInfoA(program, 0, size, block.data()));
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(MAKELONG(0, 1), fixed->dwFileVersionMS);
  EXPECT_EQ(MAKELONG(39, 0), fixed->dwFileVersionLS);
  EXPECT_EQ(MAKELONG(0, 1), fixed->dwProductVersionMS);
  EXPECT_EQ(MAKELONG(17, 0), fixed->dwProductVersionLS);
  for (const char* name : {"InternalName", "OriginalFilename"}) {
    char* text = nullptr;
    const std::string path = std::string("\\StringFileInfo\\040904b0\\") + name;
    ASSERT_TRUE(VerQueryValueA(block.data(), path.c_str(), reinterpret_cast<void**>(&text), &length));
    EXPECT_STREQ("sentel.exe", text);
  }
}

TEST(Resources, TheManifestAsksForVersion6CommonControls) {
  HRSRC found = FindResourceA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(1),
                              MAKEINTRESOURCEA(24));  // RT_MANIFEST
  ASSERT_NE(nullptr, found);
  const std::string manifest(
      static_cast<const char*>(LockResource(LoadResource(GetModuleHandleA(nullptr), found))),
      SizeofResource(GetModuleHandleA(nullptr), found));
  EXPECT_NE(std::string::npos, manifest.find("name=\"Microsoft.Windows.Common-Controls\""));
  EXPECT_NE(std::string::npos, manifest.find("version=\"6.0.0.0\""));
  EXPECT_NE(std::string::npos, manifest.find("<description>sentel Application</description>"));
}
