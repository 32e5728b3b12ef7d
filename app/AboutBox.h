// The About box: the program's icon, title, version and rights notice.
#pragma once
#include <windows.h>

#include "app/DialogWindow.h"
#include "app/OwnedHandle.h"

class AboutBox : public DialogWindow {
 public:
  // Any of the standard button ids (IDOK ... IDNO) ends the box.
  bool RouteMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
  // Runs dialog 100 of the resource module modally; returns the id that ended it.
  INT_PTR Run(HWND owner);

 private:
  // The template's icon control shows icon 128 at the size the system wants at `dpi`.
  void ShowIcon(UINT dpi);

  OwnedIcon icon_;
};
