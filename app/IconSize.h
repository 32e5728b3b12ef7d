// The sizes at which the system wants icons drawn, and the program's icon loaded
// at them: the window's own DPI where Windows tracks one per window.
#pragma once
#include <windows.h>

#include "app/OwnedHandle.h"

// WM_DPICHANGED (Windows 8.1): the window moved to a display of another scale.
// LOWORD(wParam) is the new DPI.
constexpr UINT kDpiChangedMessage = 0x02E0;

// The DPI of the display the window is on, or 0 where Windows has no per-window
// DPI (before Windows 10 1607): then the system's sizes apply.
UINT WindowDpi(HWND window);

// A size metric (SM_CXICON, SM_CYSMICON, ...) at `dpi`; the system's own value
// when `dpi` is 0 or Windows cannot give metrics per DPI.
int SystemMetricAt(int metric, UINT dpi);

// Icon 128 of the resource module at the size of the two metrics at `dpi`.
OwnedIcon LoadProgramIcon(UINT dpi, int widthMetric, int heightMetric);
