#include "app/portable/FormatCheck.h"

#include <gtest/gtest.h>

TEST(FormatCheck, ParsesTheProgramsOwnFormats) {
  const auto name = ParseConversions("log_%4u%02u%02u_%02u%02u%02u");
  ASSERT_TRUE(name);
  EXPECT_EQ((std::vector<std::string>{"%4u", "%02u", "%02u", "%02u", "%02u", "%02u"}), *name);
  const auto code = ParseConversions("Save log failed.\nError code=%08lx\n");
  ASSERT_TRUE(code);
  EXPECT_EQ(std::vector<std::string>{"%08lx"}, *code);
  const auto load = ParseConversions(", (%.1f%%)");
  ASSERT_TRUE(load);
  EXPECT_EQ(std::vector<std::string>{"%.1f"}, *load);
}

TEST(FormatCheck, AcceptsATranslationWithTheSameConversions) {
  EXPECT_TRUE(HasSameConversions("gestartet: %s, %s %s\n", "started: %s, %s %s\n"));
  EXPECT_TRUE(HasSameConversions("Fehlercode=%08lx (100%% sicher)", "Error code=%08lx\n"));
}

TEST(FormatCheck, RejectsConversionsThatDifferInAnyWay) {
  const char* reference = "started: %s, %s %s\n";
  EXPECT_FALSE(HasSameConversions("started: %s, %s\n", reference));          // one fewer
  EXPECT_FALSE(HasSameConversions("started: %s, %s %s %s\n", reference));    // one more
  EXPECT_FALSE(HasSameConversions("started: %s, %d %s\n", reference));       // other type
  EXPECT_FALSE(HasSameConversions("started: %s, %n %s\n", reference));       // writes memory
  EXPECT_FALSE(HasSameConversions("started: %s, %*s %s\n", reference));      // takes a width argument
  EXPECT_FALSE(HasSameConversions("Error code=%08x", "Error code=%08lx"));  // other length
  EXPECT_FALSE(HasSameConversions("Error code=%lx", "Error code=%08lx"));   // other width
}

TEST(FormatCheck, RejectsMalformedFormats) {
  EXPECT_FALSE(ParseConversions("100%"));
  EXPECT_FALSE(ParseConversions("%q"));
  EXPECT_FALSE(ParseConversions("%08"));
  EXPECT_FALSE(ParseConversions(std::string_view("%\0s", 3)));
  EXPECT_FALSE(HasSameConversions("%", "%s"));
}

TEST(FormatCheck, ChoosesTheReferenceWhenTheCandidateIsUnsafe) {
  const std::string reference = "stopped: %s, %s\n";
  const std::string good = "gestoppt: %s, %s\n";
  const std::string bad = "gestoppt: %s, %s, %s\n";
  EXPECT_EQ(&good, &ChooseSafeFormat(good, reference));
  EXPECT_EQ(&reference, &ChooseSafeFormat(bad, reference));
  EXPECT_EQ(&reference, &ChooseSafeFormat(std::string(), reference));
}
