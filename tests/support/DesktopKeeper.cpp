// Keeps the test session's desktop open from one test to the next. Wine closes
// a desktop a second after its last process has left it, and each test would
// otherwise wait for that and then for a new desktop and notification area.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  GetDesktopWindow();  // joins the desktop
  Sleep(INFINITE);     // until the session's wineserver ends it
  return 0;
}
