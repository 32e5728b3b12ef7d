// Dialog controls as the tests drive them: through messages, which work for the
// test's own dialogs and for another process's alike.
#pragma once
#include <windows.h>

#include <vector>

namespace test_controls {

// Sets a control's text as typing would leave it (no notification of each key).
inline void SetControlText(HWND dialog, int id, const char* text) {
  DWORD_PTR ignored = 0;
  SendMessageTimeoutA(GetDlgItem(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text),
                      SMTO_ABORTIFHUNG, 5000, &ignored);
}

// Child windows of `parent` with the given class, in z order.
inline std::vector<HWND> ChildWindows(HWND parent, const char* className) {
  struct Search {
    const char* className;
    std::vector<HWND> found;
  } search{className, {}};
  EnumChildWindows(
      parent,
      [](HWND child, LPARAM param) -> BOOL {
        auto* s = reinterpret_cast<Search*>(param);
        char name[64] = {};
        GetClassNameA(child, name, sizeof name);
        if (lstrcmpiA(name, s->className) == 0) s->found.push_back(child);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

}  // namespace test_controls
