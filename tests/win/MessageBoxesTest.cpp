// The message boxes, with the program's own texts and with a language module's.
#include "app/MessageBoxes.h"

#include <gtest/gtest.h>

#include "app/ResourceStrings.h"
#include "app/portable/ErrorCodes.h"
#include "res/resource.h"
#include "tests/win/LanguageModule.h"
#include "tests/win/MessageBoxWatcher.h"

TEST(MessageBoxes, AWarningWithoutTextAnswersNoWithoutABox) {
  MessageBoxWatcher watcher;
  EXPECT_EQ(IDNO, WarningBox(nullptr, MB_YESNO | MB_ICONWARNING));
  EXPECT_TRUE(watcher.Boxes().empty());
}

TEST(MessageBoxes, AWarningAsksWithTheWarningCaption) {
  MessageBoxWatcher watcher(IDYES);
  EXPECT_EQ(IDYES, WarningBox(MAKEINTRESOURCEA(IDS_MSG_OBSOLETE_OS), MB_YESNO | MB_ICONWARNING));
  const auto boxes = watcher.Boxes();
  ASSERT_EQ(1u, boxes.size());
  EXPECT_EQ("Warning", boxes[0].caption);
  EXPECT_EQ(LoadResourceString(IDS_MSG_OBSOLETE_OS), boxes[0].text);
  EXPECT_TRUE(boxes[0].hasYes && boxes[0].hasNo);
  EXPECT_FALSE(boxes[0].hasOk);
}

TEST(MessageBoxes, AnErrorReportShowsTheCodeInEightHexDigits) {
  MessageBoxWatcher watcher;
  EXPECT_EQ(codes::kFail, ReportErrorCode(MAKEINTRESOURCEA(IDS_MSG_SAVE_LOG_FAILED), codes::kFail));
  EXPECT_EQ(codes::FromWin32(5),
            ReportErrorCode(MAKEINTRESOURCEA(IDS_MSG_SAVE_LOG_FAILED), codes::FromWin32(5)));
  const auto boxes = watcher.Boxes();
  ASSERT_EQ(2u, boxes.size());
  EXPECT_EQ("Fatal Error", boxes[0].caption);
  EXPECT_EQ("Save log failed.\nError code=80004005\n", boxes[0].text);
  EXPECT_TRUE(boxes[0].hasOk);
  EXPECT_FALSE(boxes[0].hasYes || boxes[0].hasNo);
  EXPECT_EQ("Save log failed.\nError code=80070005\n", boxes[1].text);
}

TEST(MessageBoxes, AFatalErrorAlwaysAnswersFailAndShowsNothingWithoutText) {
  MessageBoxWatcher watcher;
  EXPECT_EQ(codes::kFail, FatalErrorBox(nullptr, MB_OK | MB_ICONERROR));
  EXPECT_EQ(codes::kFail, FatalErrorBox("plain text", MB_OK | MB_ICONERROR));
  const auto boxes = watcher.Boxes();
  ASSERT_EQ(1u, boxes.size());
  EXPECT_EQ("plain text", boxes[0].text);
}

TEST(MessageBoxes, AModulesCaptionIsUsedButItsUnsafeFormatIsNot) {
  WithLanguageModule module("sentel_test_badtexts.dll");
  ASSERT_TRUE(module.Loaded());
  MessageBoxWatcher watcher(IDNO);
  WarningBox(MAKEINTRESOURCEA(IDS_MSG_OBSOLETE_OS), MB_YESNO | MB_ICONWARNING);
  ReportErrorCode(MAKEINTRESOURCEA(IDS_MSG_SAVE_LOG_FAILED), codes::kFail);
  const auto boxes = watcher.Boxes();
  ASSERT_EQ(2u, boxes.size());
  EXPECT_EQ("Achtung", boxes[0].caption);
  EXPECT_EQ("Old system.\n", boxes[0].text);
  // "%s%s%s%s" would read four strings from one number: the program's text is used.
  EXPECT_EQ("Fatal Error", boxes[1].caption);
  EXPECT_EQ("Save log failed.\nError code=80004005\n", boxes[1].text);
}

TEST(ResourceStrings, ALongTextIsLoadedWhole) {
  WithLanguageModule module("sentel_test_badtexts.dll");
  ASSERT_TRUE(module.Loaded());
  const std::string text = LoadResourceString(IDS_HIDE);
  EXPECT_GT(text.size(), 256u);
  EXPECT_EQ("END", text.substr(text.size() - 3));
}

TEST(ResourceStrings, AModuleWithoutStringsGivesEmptyTexts) {
  WithLanguageModule module("sentel_test_nostrings.dll");
  ASSERT_TRUE(module.Loaded());
  EXPECT_EQ("", LoadResourceString(IDS_TITLE));
  EXPECT_EQ("", LoadResourceString(IDS_SETTINGS_KEY));
  // A format it lacks falls back to the program's own.
  EXPECT_EQ("stopped: %s, %s\n", LoadFormatString(IDS_STOPPED_FORMAT));
}

TEST(ResourceStrings, FormatTextsFromAModuleAreCheckedAgainstTheProgramsOwn) {
  {
    WithLanguageModule module("sentel_test_badtexts.dll");
    ASSERT_TRUE(module.Loaded());
    EXPECT_EQ("log_%4u%02u%02u_%02u%02u%02u", LoadFormatString(IDS_LOG_NAME_FORMAT));
    EXPECT_EQ("Ondrel (build: %s) log file.\n--\n", LoadFormatString(IDS_LOG_HEADER_FORMAT));
    EXPECT_EQ("started: %s, %s %s\n", LoadFormatString(IDS_STARTED_FORMAT));
    EXPECT_EQ("stopped: %s, %s\n", LoadFormatString(IDS_STOPPED_FORMAT));
  }
  WithLanguageModule german("sentel1031.dll");
  ASSERT_TRUE(german.Loaded());
  EXPECT_EQ("gestartet: %s, %s %s\n", LoadFormatString(IDS_STARTED_FORMAT));
}
