#include "app/ResourceStrings.h"

#include <gtest/gtest.h>

#include "res/resource.h"

TEST(ResourceStrings, LoadsTheProgramsOwnTexts) {
  EXPECT_EQ("Tervo", LoadResourceString(IDS_TITLE));
  EXPECT_EQ("Software\\Brevane\\Sentel", LoadResourceString(IDS_SETTINGS_KEY));
  EXPECT_EQ("Cannot start ICpuUsage service. \"NtQuerySystemInformation\" entry not found.\n",
            LoadResourceString(IDS_MSG_NTQUERY_NOT_FOUND));
}

TEST(ResourceStrings, AMissingIdGivesAnEmptyText) {
  EXPECT_EQ("", LoadResourceString(141));
  EXPECT_EQ("", LoadResourceString(60000));
}
