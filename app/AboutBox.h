// The About box: the program's icon, title, version and rights notice.
#pragma once
#include <windows.h>

#include "app/DialogWindow.h"

class AboutBox : public DialogWindow {
 public:
  // Any of the standard button ids (IDOK ... IDNO) ends the box.
  bool RouteMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
  // Runs dialog 100 of the resource module modally; returns the id that ended it.
  INT_PTR Run(HWND owner);
};
