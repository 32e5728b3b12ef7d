// The one way the Windows-side and end-to-end tests wait: poll a condition
// until it holds or a deadline passes.
#pragma once
#include <windows.h>

#include <functional>

namespace test_wait {

// True as soon as `condition` holds; false when it still fails after `timeoutMs`.
inline bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  for (;;) {
    if (condition()) return true;
    if (GetTickCount() - start >= timeoutMs) return condition();
    Sleep(10);
  }
}

}  // namespace test_wait
