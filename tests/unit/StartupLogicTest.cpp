#include <gtest/gtest.h>

#include "app/portable/Centering.h"
#include "app/portable/DialogAnswer.h"
#include "app/portable/ErrorCodes.h"
#include "app/portable/ModuleName.h"

TEST(LanguageModuleName, HasAtLeastFourZeroPaddedDigits) {
  EXPECT_EQ("sentel1033.dll", LanguageModuleName(1033));
  EXPECT_EQ("sentel0007.dll", LanguageModuleName(7));
  EXPECT_EQ("sentel70000.dll", LanguageModuleName(70000));
  EXPECT_EQ("sentel4294967295.dll", LanguageModuleName(0xFFFFFFFFu));
}

TEST(ErrorCodes, Win32ErrorsMoveIntoTheirFacility) {
  EXPECT_EQ(static_cast<int32_t>(0x80070005u), codes::FromWin32(5));
  EXPECT_EQ(static_cast<int32_t>(0x80070002u), codes::FromWin32(0x10002));  // low 16 bits only
  EXPECT_EQ(0, codes::FromWin32(0));
  EXPECT_EQ(codes::kFail, codes::FromWin32(codes::kFail));  // negative passes through
  EXPECT_TRUE(codes::Failed(codes::kPointer));
  EXPECT_FALSE(codes::Failed(codes::kFalse));
}

TEST(DialogAnswer, OnlyTheseMessagesAnswerThroughTheReturnValue) {
  for (uint32_t message : {0x0110u, 0x0039u, 0x002Eu, 0x002Fu, 0x0037u, 0x0132u, 0x0135u, 0x0138u}) {
    EXPECT_TRUE(ReturnsResultDirectly(message)) << message;
  }
  for (uint32_t message : {0x0111u, 0x0112u, 0x0113u, 0x0053u, 0x0131u, 0x0139u, 0xC000u}) {
    EXPECT_FALSE(ReturnsResultDirectly(message)) << message;
  }
}

TEST(Centering, CentresOnTheRectangleAndStaysInsideTheArea) {
  const Rect area{0, 0, 1000, 800};
  EXPECT_EQ(350, CenteredPosition(300, 200, area, area).x);
  EXPECT_EQ(300, CenteredPosition(300, 200, area, area).y);
  // Near an edge the window is pushed back inside.
  const Point left = CenteredPosition(300, 200, Rect{-100, 0, 100, 100}, area);
  EXPECT_EQ(0, left.x);
  EXPECT_EQ(0, left.y);
  const Point right = CenteredPosition(300, 200, Rect{900, 700, 1000, 800}, area);
  EXPECT_EQ(700, right.x);
  EXPECT_EQ(600, right.y);
}

TEST(Centering, HalvingTruncatesTowardZero) {
  // (-3 + 0) / 2 = -1 and 5 / 2 = 2: x = -3, inside an area that starts further left.
  const Point at = CenteredPosition(5, 5, Rect{-3, -3, 0, 0}, Rect{-100, -100, 100, 100});
  EXPECT_EQ(-3, at.x);
  EXPECT_EQ(-3, at.y);
}
