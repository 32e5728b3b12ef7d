// How a dialog procedure answers a handled message.
#pragma once
#include <cstdint>

// Messages whose result the dialog manager takes from the procedure's return
// value itself; every other handled message answers through DWLP_MSGRESULT.
constexpr bool ReturnsResultDirectly(uint32_t message) {
  constexpr uint32_t kInitDialog = 0x0110, kCompareItem = 0x0039, kVKeyToItem = 0x002E,
                     kCharToItem = 0x002F, kQueryDragIcon = 0x0037, kCtlColorMsgBox = 0x0132,
                     kCtlColorStatic = 0x0138;
  return message == kInitDialog || message == kCompareItem || message == kVKeyToItem ||
         message == kCharToItem || message == kQueryDragIcon ||
         (message >= kCtlColorMsgBox && message <= kCtlColorStatic);
}
