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

struct ChildSearch {
  const char* className;
  std::vector<HWND> found;
};

inline BOOL CALLBACK CollectChild(HWND child, LPARAM param) {
  auto* search = reinterpret_cast<ChildSearch*>(param);
  char name[64] = {};
  GetClassNameA(child, name, sizeof name);
  if (lstrcmpiA(name, search->className) == 0) search->found.push_back(child);
  return TRUE;
}

// Child windows of `parent` with the given class, in z order.
inline std::vector<HWND> ChildWindows(HWND parent, const char* className) {
  ChildSearch search{className, {}};
  EnumChildWindows(parent, CollectChild, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

}  // namespace test_controls
