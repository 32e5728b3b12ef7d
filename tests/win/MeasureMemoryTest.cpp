// The memory probe on the real platform, and its failure box and code.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "app/ResourceStrings.h"
#include "app/portable/ErrorCodes.h"
#include "measure/PlatformSeam.h"
#include "measure/MemoryProbe.h"
#include "res/resource.h"
#include "tests/common/TextLines.h"
#include "tests/win/MessageBoxWatcher.h"

namespace {
using test_text::Trimmed;

uint64_t PlatformAvailableKb() {
  MEMORYSTATUSEX status{};
  status.dwLength = sizeof status;
  GlobalMemoryStatusEx(&status);
  return status.ullAvailPhys / 1024;
}

// Within 64 MiB of the platform's own figure: other processes come and go.
constexpr uint64_t kToleranceKb = 64 * 1024;
}  // namespace

TEST(MeasureMemory, NtFamilyReadsTheExtendedStatus) {
  const bool isNt = true;
  uint64_t kilobytes = 0;
  EXPECT_EQ(S_OK, GetAvailableMemoryKb(isNt, &kilobytes));
  EXPECT_GT(kilobytes, 0u);
  const uint64_t reference = PlatformAvailableKb();
  EXPECT_LT(kilobytes > reference ? kilobytes - reference : reference - kilobytes, kToleranceKb);
}

TEST(MeasureMemory, OlderFamilyReadsThePlainStatusWithoutLookup) {
  const measure_seam::ScopedFaults faults(measure_seam::kMemStatusLookup);
  const bool isNt = false;
  uint64_t kilobytes = 0;
  EXPECT_EQ(S_OK, GetAvailableMemoryKb(isNt, &kilobytes));
  MEMORYSTATUS status{};
  status.dwLength = sizeof status;
  GlobalMemoryStatus(&status);
  const uint64_t reference = status.dwAvailPhys / 1024;
  EXPECT_GT(kilobytes, 0u);
  EXPECT_LT(kilobytes > reference ? kilobytes - reference : reference - kilobytes, kToleranceKb);
}

TEST(MeasureMemory, MissingEntryShows56007AndWritesZero) {
  const measure_seam::ScopedFaults faults(measure_seam::kMemStatusLookup);
  MessageBoxWatcher boxes;
  const bool isNt = true;
  uint64_t kilobytes = 12345;
  EXPECT_TRUE(codes::Failed(GetAvailableMemoryKb(isNt, &kilobytes)));
  EXPECT_EQ(0u, kilobytes);
  const auto seen = boxes.Boxes();
  ASSERT_EQ(1u, seen.size());
  EXPECT_EQ("Fatal Error", seen[0].caption);
  EXPECT_EQ(Trimmed(LoadResourceString(IDS_MSG_MEMSTATUS_NOT_FOUND)), Trimmed(seen[0].text));
  EXPECT_EQ(1, seen[0].buttons);
}

TEST(MeasureMemory, FailingCallShowsTheSameMessageAtEveryReading) {
  const measure_seam::ScopedFaults faults(measure_seam::kMemStatusCall);
  MessageBoxWatcher boxes;
  const bool isNt = true;
  for (int reading = 0; reading < 2; ++reading) {
    uint64_t kilobytes = 12345;
    EXPECT_TRUE(codes::Failed(GetAvailableMemoryKb(isNt, &kilobytes)));
    EXPECT_EQ(0u, kilobytes);
  }
  const auto seen = boxes.Boxes();
  ASSERT_EQ(2u, seen.size());
  for (const MessageBoxWatcher::Seen& box : seen) {
    EXPECT_EQ(Trimmed(LoadResourceString(IDS_MSG_MEMSTATUS_NOT_FOUND)), Trimmed(box.text));
  }
}

TEST(MeasureMemory, NullPointerIsRefused) {
  const bool isNt = true;
  EXPECT_EQ(codes::kPointer, GetAvailableMemoryKb(isNt, nullptr));
}
