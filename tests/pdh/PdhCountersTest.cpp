// The Thermal monitor's performance counters against a stand-in pdh.dll that
// serves scripted values: installed in the prefix's system folder for this
// test, whose process alone Wine tells (WINEDLLOVERRIDES pdh=n) to load it.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "measure/ThermalSources.h"

namespace {
std::string SystemPdh() {
  char folder[MAX_PATH] = {};
  GetSystemDirectoryA(folder, MAX_PATH);
  return std::string(folder) + "\\pdh.dll";
}

std::string Beside(const char* name) {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder(path);
  return folder.substr(0, folder.find_last_of('\\') + 1) + name;
}

int OpenQueries() {
  char text[16] = {};
  GetEnvironmentVariableA("SENTEL_TEST_PDH_OPEN", text, sizeof text);
  return std::atoi(text);
}

// Only the counters answer: the power sources are the other tests'.
void CountersOnly(ThermalEntries& entries) {
  entries.powerInformation = nullptr;
  entries.powerStatus = nullptr;
}

class PdhDouble : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    const std::string kept = SystemPdh() + ".sentel-kept";
    if (GetFileAttributesA(kept.c_str()) == INVALID_FILE_ATTRIBUTES) {
      ASSERT_TRUE(CopyFileA(SystemPdh().c_str(), kept.c_str(), TRUE));
    }
    ASSERT_TRUE(CopyFileA(Beside("pdh_double.dll").c_str(), SystemPdh().c_str(), FALSE))
        << GetLastError();
  }
  // Wine's own file goes back, whatever the tests did.
  static void TearDownTestSuite() {
    const std::string kept = SystemPdh() + ".sentel-kept";
    if (CopyFileA(kept.c_str(), SystemPdh().c_str(), FALSE)) DeleteFileA(kept.c_str());
  }
  void SetUp() override { thermal_seam::SetEntriesHook(&CountersOnly); }
  void TearDown() override {
    thermal_seam::SetEntriesHook(nullptr);
    SetEnvironmentVariableA("SENTEL_TEST_PDH", nullptr);
  }
  static void UseScript(const char* script) { SetEnvironmentVariableA("SENTEL_TEST_PDH", script); }
};
}  // namespace

TEST_F(PdhDouble, TheLowestLimitAndTheHottestZoneOfWhatTheSystemHas) {
  const struct {
    const char* script;
    bool answers;
    bool hasLimit;
    unsigned limit;
    bool hasTemperature;
    double celsius;
  } rows[] = {
      {"limit=80;zones=370.15/100,330.15/55", true, true, 55, true, 97.0},
      {"limit=72.6;zones=300.15/100", true, true, 73, true, 27.0},
      // A zone without a sensor reports 0 K: no figure from it.
      {"counters=temperature;zones=0/100,310.15/100", true, false, 0, true, 37.0},
      {"counters=limit,passive;limit=100", true, true, 100, false, 0.0},
      // As under Wine: none of the counters.
      {"counters=none", false, false, 0, false, 0.0},
  };
  for (const auto& row : rows) {
    UseScript(row.script);
    ThermalSources sources;
    EXPECT_EQ(row.answers, sources.Open(1)) << row.script;
    for (int sample = 0; sample < 2; ++sample) {
      const ThermalReading reading = sources.Read();
      EXPECT_EQ(row.hasLimit, reading.hasLimit) << row.script;
      EXPECT_EQ(row.hasTemperature, reading.hasTemperature) << row.script;
      if (row.hasLimit) {
        EXPECT_EQ(row.limit, reading.limitPercent) << row.script;
      }
      if (row.hasTemperature) {
        EXPECT_NEAR(row.celsius, reading.celsius, 1e-9) << row.script;
      }
    }
  }
}

TEST_F(PdhDouble, AFailedCollectionLeavesTheCountersOutForTheRestOfTheRun) {
  // Open collects once; the third collection is the second sample's.
  UseScript("limit=55;zones=370.15/100;collectfails=3");
  ThermalSources sources;
  ASSERT_TRUE(sources.Open(1));
  EXPECT_EQ(1, OpenQueries());
  EXPECT_TRUE(sources.Read().hasTemperature);
  EXPECT_FALSE(sources.Read().hasTemperature);
  EXPECT_EQ(0, OpenQueries()) << "the failed query is closed at once";
  UseScript("limit=55;zones=370.15/100");
  EXPECT_FALSE(sources.Read().hasLimit) << "and not opened again during the run";
}

TEST_F(PdhDouble, StopClosesTheQueryAndReleasesTheLibrary) {
  UseScript("limit=55");
  {
    ThermalSources sources;
    ASSERT_TRUE(sources.Open(1));
    ASSERT_NE(nullptr, GetModuleHandleA("pdh.dll"));
    EXPECT_EQ(1, OpenQueries());
    sources.Close();
    EXPECT_EQ(0, OpenQueries());
    EXPECT_EQ(nullptr, GetModuleHandleA("pdh.dll"));
    ASSERT_TRUE(sources.Open(1));
    EXPECT_EQ(1, OpenQueries());
  }
  EXPECT_EQ(0, OpenQueries()) << "the sources close when they go";
}
