#include "app/AboutBox.h"

#include "app/ResourceStrings.h"
#include "res/resource.h"

bool AboutBox::RouteMessage(UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
  switch (message) {
    case WM_INITDIALOG:
      result = TRUE;  // the default button takes the focus
      return true;
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
