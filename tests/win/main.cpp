// Windows-side tests run inside one process with the program's own resources
// linked in, and with the dialog framework's module state alive.
#include <gtest/gtest.h>

#include "app/DialogWindow.h"

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  const FrameworkModule framework(GetModuleHandleA(nullptr));
  return RUN_ALL_TESTS();
}
