// Where a window of a given size goes to be centred on a rectangle and kept
// inside an area.
#pragma once

struct Rect {
  int left, top, right, bottom;
};
struct Point {
  int x, y;
};

constexpr int ClampStart(int start, int size, int areaStart, int areaEnd) {
  if (start < areaStart) return areaStart;
  if (start + size > areaEnd) return areaEnd - size;
  return start;
}

// Halvings truncate toward zero, as C++ integer division does.
constexpr Point CenteredPosition(int width, int height, Rect centre, Rect area) {
  const int x = (centre.left + centre.right) / 2 - width / 2;
  const int y = (centre.top + centre.bottom) / 2 - height / 2;
  return {ClampStart(x, width, area.left, area.right), ClampStart(y, height, area.top, area.bottom)};
}
