#include "monitor/portable/LogText.h"

#include <gtest/gtest.h>

#include "monitor/portable/LogFileName.h"

namespace {
LocalTime At(unsigned year, unsigned month, unsigned day, unsigned hour, unsigned minute,
             unsigned second) {
  LocalTime time;
  time.year = year;
  time.month = month;
  time.day = day;
  time.hour = hour;
  time.minute = minute;
  time.second = second;
  return time;
}
}  // namespace

TEST(LogText, DatesAndTimesAreEightZeroPaddedCharacters) {
  EXPECT_EQ("12/31/05", DateText(At(2005, 12, 31, 23, 59, 58)));
  EXPECT_EQ("23:59:58", TimeText(At(2005, 12, 31, 23, 59, 58)));
  EXPECT_EQ("01/01/00", DateText(At(2000, 1, 1, 0, 0, 0)));
  EXPECT_EQ("00:00:00", TimeText(At(2000, 1, 1, 0, 0, 0)));
  EXPECT_EQ("02/09/99", DateText(At(1999, 2, 9, 7, 5, 3)));
  EXPECT_EQ("07:05:03", TimeText(At(1999, 2, 9, 7, 5, 3)));
}

TEST(LogText, StartedAndStoppedLinesFromTheProgramsFormats) {
  EXPECT_EQ("started: 12/31/05, 23:59:58 (HPC is used)\n",
            FormatText("started: %s, %s %s\n", "12/31/05", "23:59:58", "(HPC is used)"));
  EXPECT_EQ("stopped: 01/01/06, 00:29:58\n",
            FormatText("stopped: %s, %s\n", "01/01/06", "00:29:58"));
}

TEST(LogText, FormatTextIsNotCutAtAnyLength) {
  const std::string long_text(100000, 'x');
  EXPECT_EQ(long_text + "!", FormatText("%s!", long_text.c_str()));
  EXPECT_EQ("", FormatText("%s", ""));
}

TEST(LogText, ClockPieceIsPaddedToSevenAndNeverCut) {
  EXPECT_EQ("14:05:30, 2399.87 MHz", ClockPiece("14:05:30", 2399.87));
  EXPECT_EQ("14:06:30,  996.40 MHz", ClockPiece("14:06:30", 996.4));
  EXPECT_EQ("14:06:30, 12345.68 MHz", ClockPiece("14:06:30", 12345.678));
  EXPECT_EQ("14:06:30,    0.00 MHz", ClockPiece("14:06:30", 0.0));
}

TEST(LogText, CoreClockPieceIsPaddedToSevenAndNeverCut) {
  EXPECT_EQ(", (core 3612.40 MHz)", CoreClockPiece(3612.4));
  EXPECT_EQ(", (core  996.40 MHz)", CoreClockPiece(996.4));
  EXPECT_EQ(", (core 12345.68 MHz)", CoreClockPiece(12345.678));
}

TEST(LogText, LoadPieceHasOneDecimalAndAPercentSign) {
  EXPECT_EQ(", (12.5%)", LoadPiece(12.5f));
  EXPECT_EQ(", (0.0%)", LoadPiece(0.0f));
  EXPECT_EQ(", (100.0%)", LoadPiece(100.0f));
  EXPECT_EQ(", (3.0%)", LoadPiece(2.96f));
}

TEST(LogText, MemoryPieceMatchesThe32BitFormatAndIsWholeAbove) {
  EXPECT_EQ(", (523712 K)", MemoryPiece(523712));
  EXPECT_EQ(", (0 K)", MemoryPiece(0));
  for (uint64_t kb : {uint64_t{1}, uint64_t{999999}, uint64_t{0x7FFFFFFF}, uint64_t{0xFFFFFFFF}}) {
    EXPECT_EQ(FormatText(", (%u K)", static_cast<unsigned>(kb)), MemoryPiece(kb)) << kb;
  }
  EXPECT_EQ(", (4294967296 K)", MemoryPiece(uint64_t{1} << 32));
  EXPECT_EQ(", (21474836480 K)", MemoryPiece(uint64_t{5} << 32));
}

TEST(LogText, SampleLineExamples) {
  EXPECT_EQ("14:06:00, 2399.91 MHz, (12.5%), (523712 K)\n",
            ClockPiece("14:06:00", 2399.91) + LoadPiece(12.5f) + MemoryPiece(523712) + kEndOfLine);
  EXPECT_EQ("14:06:30,  996.40 MHz, (523700 K)\n",
            ClockPiece("14:06:30", 996.40) + MemoryPiece(523700) + kEndOfLine);
}

namespace {
bool NoLeadBytes(unsigned char) { return false; }
// Shift-JIS lead bytes.
bool ShiftJisLead(unsigned char byte) {
  return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}
}  // namespace

TEST(LogFileName, DirectoryEndsAfterTheLastBackslash) {
  EXPECT_EQ(9u, DirectoryLength("C:\\Tools\\sentel.exe", NoLeadBytes));
  EXPECT_EQ(3u, DirectoryLength("C:\\sentel.exe", NoLeadBytes));
  EXPECT_EQ(0u, DirectoryLength("sentel.exe", NoLeadBytes));
  EXPECT_EQ(0u, DirectoryLength("", NoLeadBytes));
  EXPECT_EQ(9u, DirectoryLength("C:\\Tools\\", NoLeadBytes));
}

TEST(LogFileName, TheSecondByteOfADoubleByteCharacterIsNoBackslash) {
  // "\x95\x5C" is one Shift-JIS character whose second byte is 0x5C.
  const std::string path = "C:\\Tools\\\x95\x5C.exe";
  EXPECT_EQ(9u, DirectoryLength(path, ShiftJisLead));
  const std::string folder = "C:\\\x95\x5C\\sentel.exe";
  EXPECT_EQ(6u, DirectoryLength(folder, ShiftJisLead));
  // Without the code page's knowledge the same bytes would split the character.
  EXPECT_EQ(11u, DirectoryLength(path, NoLeadBytes));
  // A lead byte at the very end stands alone.
  EXPECT_EQ(3u, DirectoryLength("C:\\a\x95", ShiftJisLead));
}

TEST(LogFileName, AFolderGainsItsBackslashOnlyWhenItHasNone) {
  const struct {
    const char* folder;
    const char* expected;
  } rows[] = {
      {"C:\\Users\\me\\Documents", "C:\\Users\\me\\Documents\\"},
      {"C:\\", "C:\\"},
      {"", ""},
      // Shift-JIS "\x95\x5C": its second byte is no backslash.
      {"C:\\\x95\x5C", "C:\\\x95\x5C\\"},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(row.expected, WithTrailingBackslash(row.folder, ShiftJisLead)) << row.folder;
  }
}

TEST(LogFileName, BaseNameFromTheProgramsFormat) {
  EXPECT_EQ("log_20060101_002958",
            LogFileBaseName("log_%4u%02u%02u_%02u%02u%02u", At(2006, 1, 1, 0, 29, 58)));
  EXPECT_EQ("log_20991231_235959",
            LogFileBaseName("log_%4u%02u%02u_%02u%02u%02u", At(2099, 12, 31, 23, 59, 59)));
}
