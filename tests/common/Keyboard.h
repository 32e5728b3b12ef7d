// Real keyboard input, as a user types it: it reaches the thread that owns the
// foreground window, in this process or in another.
#pragma once
#include <windows.h>

namespace test_input {

// Presses and releases `key`.
inline void PressKey(WORD key) {
  INPUT inputs[2] = {};
  for (INPUT& input : inputs) {
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(key, MAPVK_VK_TO_VSC));
  }
  inputs[1].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(2, inputs, sizeof(INPUT));
}

}  // namespace test_input
