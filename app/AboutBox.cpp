#include "app/AboutBox.h"

#include <utility>

#include "app/IconSize.h"
#include "app/ResourceStrings.h"
#include "res/resource.h"

bool AboutBox::RouteMessage(UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
  switch (message) {
    case WM_INITDIALOG:
      ShowIcon(WindowDpi(Window()));
      result = TRUE;  // the default button takes the focus
      return true;
    case kDpiChangedMessage:
      // The dialog manager scales the rest: the message goes on to it.
      ShowIcon(LOWORD(wParam));
      return false;
    case WM_COMMAND: {
      const WORD id = LOWORD(wParam);
      if (id < IDOK || id > IDNO) return false;
      EndDialog(Window(), id);
      result = 0;
      return true;
    }
    default:
      return false;
  }
}

INT_PTR AboutBox::Run(HWND owner) { return RunModal(ResourceModule(), IDD_ABOUTBOX, owner); }

// The static control would load the icon at one size of its own choosing.
void AboutBox::ShowIcon(UINT dpi) {
  for (HWND child = GetWindow(Window(), GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    if ((GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) != SS_ICON) continue;
    OwnedIcon icon = LoadProgramIcon(dpi, SM_CXICON, SM_CYICON);
    if (!icon) return;
    SendMessageA(child, STM_SETICON, reinterpret_cast<WPARAM>(icon.Get()), 0);
    icon_ = std::move(icon);  // the old one only once the control holds the new
    return;
  }
}
