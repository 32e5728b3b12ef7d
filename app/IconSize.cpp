#include "app/IconSize.h"

#include "app/ResourceStrings.h"
#include "measure/PlatformSeam.h"
#include "res/resource.h"

namespace {
using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
using GetSystemMetricsForDpiFn = int(WINAPI*)(int, UINT);

// Both from Windows 10 1607: looked up, never imported, so the program still
// starts on 98 SE.
template <typename Function>
Function User32Export(const char* name) {
  return measure_seam::FunctionCast<Function>(measure_seam::LookupExport("user32", name));
}
}  // namespace

UINT WindowDpi(HWND window) {
  const auto getDpiForWindow = User32Export<GetDpiForWindowFn>("GetDpiForWindow");
  return getDpiForWindow != nullptr ? getDpiForWindow(window) : 0;
}

int SystemMetricAt(int metric, UINT dpi) {
  if (dpi != 0) {
    const auto forDpi = User32Export<GetSystemMetricsForDpiFn>("GetSystemMetricsForDpi");
    if (forDpi != nullptr) return forDpi(metric, dpi);
  }
  return GetSystemMetrics(metric);
}

OwnedIcon LoadProgramIcon(UINT dpi, int widthMetric, int heightMetric) {
  return OwnedIcon(static_cast<HICON>(LoadImageA(
      ResourceModule(), MAKEINTRESOURCEA(IDR_MAINFRAME), IMAGE_ICON,
      SystemMetricAt(widthMetric, dpi), SystemMetricAt(heightMetric, dpi), LR_DEFAULTCOLOR)));
}
