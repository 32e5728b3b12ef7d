// The CPU load service on the real platform: both methods, the counting
// thread's life, and every failure with its message box and code.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <memory>
#include <vector>

#include "app/ResourceStrings.h"
#include "app/portable/ErrorCodes.h"
#include "measure/LoadCounters.h"
#include "measure/PlatformSeam.h"
#include "monitor/MonitorDialog.h"
#include "res/resource.h"
#include "tests/common/TextLines.h"
#include "tests/common/Waiting.h"
#include "tests/win/MessageBoxWatcher.h"
#include "tests/win/TestThread.h"

namespace {
using test_text::Trimmed;
using test_wait::WaitUntil;

// A full-speed run of 10,000 passes instead of one of tscHz / 200.
constexpr uint64_t kSmallTscHz = 2000000;

// A thread handle by id, for watching a counting thread whose own handle is
// closed at once.
class ThreadWatch {
 public:
  explicit ThreadWatch(DWORD id)
      : handle_(OpenThread(SYNCHRONIZE | THREAD_SUSPEND_RESUME, FALSE, id)) {}
  ~ThreadWatch() {
    if (handle_ != nullptr) CloseHandle(handle_);
  }
  ThreadWatch(const ThreadWatch&) = delete;
  ThreadWatch& operator=(const ThreadWatch&) = delete;
  bool IsOpen() const { return handle_ != nullptr; }
  bool EndsWithin(DWORD ms) const { return WaitForSingleObject(handle_, ms) == WAIT_OBJECT_0; }
  void Suspend() const { SuspendThread(handle_); }
  void Resume() const { ResumeThread(handle_); }

 private:
  HANDLE handle_;
};

std::string Message(UINT id) { return Trimmed(LoadResourceString(id)); }

// A query that finds nothing wrong with the first `successes` calls and then fails.
std::atomic<int> queryCallsLeft{0};
LONG WINAPI CountedQuery(ULONG infoClass, PVOID buffer, ULONG size, PULONG returned) {
  if (queryCallsLeft-- <= 0) return static_cast<LONG>(0xC0000001u);
  const auto real = measure_seam::FunctionCast<QuerySystemInformationFn>(
      GetProcAddress(GetModuleHandleA("ntdll"), "NtQuerySystemInformation"));
  return real(infoClass, buffer, size, returned);
}

class MeasureLoad : public testing::Test {
 protected:
  void SetUp() override {
    ProcessLoadCounters().native = NativeLoadHistory{};
    ProcessLoadCounters().idleCount = 0;
    dialog.tscHz = kSmallTscHz;
  }
  void TearDown() override {
    // The counting thread reads the dialog: it must be gone before the dialog.
    dialog.Stop();
    if (dialog.idleThreadId != 0) {
      ThreadWatch last(dialog.idleThreadId);
      if (last.IsOpen()) {
        EXPECT_TRUE(last.EndsWithin(10000));
      }
    }
  }
  MonitorDialog dialog;
};
}  // namespace

TEST_F(MeasureLoad, NativeStartFindsTheQueryAndReadsTheLoad) {
  dialog.useIdleThread = 0;
  ASSERT_EQ(S_OK, dialog.Start());
  ASSERT_NE(nullptr, dialog.querySystemInformation);
  float load = -1.0f;
  EXPECT_EQ(S_OK, dialog.GetLoad(&load));
  EXPECT_EQ(0.0f, load);  // the first reading in the process
  EXPECT_NE(0.0, ProcessLoadCounters().native.prevSystemTime);

  // Both processors busy for a while: a high load.
  std::atomic<bool> busy{true};
  std::vector<TestThread> spinners;
  for (int i = 0; i < 2; ++i) {
    spinners.emplace_back([&busy] {
      while (busy) {
      }
    });
  }
  Sleep(500);  // the interval the load is measured over
  EXPECT_EQ(S_OK, dialog.GetLoad(&load));
  busy = false;
  for (auto& spinner : spinners) spinner.Join();
  EXPECT_GT(load, 50.0f);
  EXPECT_LE(load, 100.5f);
  EXPECT_EQ(S_OK, dialog.Stop());
}

TEST_F(MeasureLoad, NativeStartWithoutTheEntryShows56005) {
  const measure_seam::ScopedFaults faults(measure_seam::kNtQueryLookup);
  MessageBoxWatcher boxes;
  dialog.useIdleThread = 0;
  const HRESULT result = dialog.Start();
  EXPECT_TRUE(codes::Failed(result));
  EXPECT_EQ(nullptr, dialog.querySystemInformation);
  const auto seen = boxes.Boxes();
  ASSERT_EQ(1u, seen.size());
  EXPECT_EQ("Fatal Error", seen[0].caption);
  EXPECT_EQ(Message(IDS_MSG_NTQUERY_NOT_FOUND), Trimmed(seen[0].text));
  EXPECT_EQ(1, seen[0].buttons);
}

TEST_F(MeasureLoad, FailingQueryShows56006AndLeavesTheHistory) {
  dialog.useIdleThread = 0;
  ASSERT_EQ(S_OK, dialog.Start());
  float load = -1.0f;
  ASSERT_EQ(S_OK, dialog.GetLoad(&load));
  const NativeLoadHistory before = ProcessLoadCounters().native;

  MessageBoxWatcher boxes;
  // The third of the three queries fails.
  queryCallsLeft = 2;
  dialog.querySystemInformation = &CountedQuery;
  load = -1.0f;
  EXPECT_TRUE(codes::Failed(dialog.GetLoad(&load)));
  EXPECT_EQ(0.0f, load);
  EXPECT_EQ(before.prevIdleTime, ProcessLoadCounters().native.prevIdleTime);
  EXPECT_EQ(before.prevSystemTime, ProcessLoadCounters().native.prevSystemTime);
  const auto seen = boxes.Boxes();
  ASSERT_EQ(1u, seen.size());
  EXPECT_EQ("Fatal Error", seen[0].caption);
  EXPECT_EQ(Message(IDS_MSG_NTQUERY_FAILED), Trimmed(seen[0].text));
}

TEST_F(MeasureLoad, QueryFaultFromTheSeamFailsEveryReading) {
  const measure_seam::ScopedFaults faults(measure_seam::kNtQueryCall);
  MessageBoxWatcher boxes;
  dialog.useIdleThread = 0;
  ASSERT_EQ(S_OK, dialog.Start());
  float load = -1.0f;
  // The error number is read after the box, which may have cleared it: a
  // failure is reported all the same.
  EXPECT_TRUE(codes::Failed(dialog.GetLoad(&load)));
  EXPECT_EQ(0.0f, load);
  EXPECT_TRUE(codes::Failed(dialog.GetLoad(&load)));
  EXPECT_EQ(2u, boxes.Boxes().size());
}

TEST_F(MeasureLoad, NullLoadPointerTouchesNothing) {
  MessageBoxWatcher boxes;
  dialog.useIdleThread = 1;
  ProcessLoadCounters().idleCount = 1234;
  dialog.idleWrapTick = 77;
  EXPECT_EQ(codes::kPointer, dialog.GetLoad(nullptr));
  EXPECT_EQ(1234, ProcessLoadCounters().idleCount);
  EXPECT_EQ(77u, dialog.idleWrapTick);
  dialog.useIdleThread = 0;
  EXPECT_EQ(codes::kPointer, dialog.GetLoad(nullptr));
  // A box would have been answered, and noted, before GetLoad returned.
  EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_F(MeasureLoad, IdleReadingIsTheShareNotCounted) {
  dialog.useIdleThread = 1;
  dialog.idleCountsPerMs = 10000.0;
  dialog.idleWrapTick = GetTickCount() - 1000;
  ProcessLoadCounters().idleCount = 2500000;  // a quarter of 1000 ms at full speed
  float load = -1.0f;
  EXPECT_EQ(S_OK, dialog.GetLoad(&load));
  EXPECT_NEAR(75.0f, load, 1.0f);
  EXPECT_EQ(0, ProcessLoadCounters().idleCount);
  EXPECT_LE(GetTickCount() - dialog.idleWrapTick, 100u);
}

TEST_F(MeasureLoad, IdleReadingWithoutARateIsZero) {
  dialog.useIdleThread = 1;
  dialog.idleCountsPerMs = 0.0;
  dialog.idleWrapTick = GetTickCount() - 1000;
  ProcessLoadCounters().idleCount = 5000;
  float load = -1.0f;
  EXPECT_EQ(S_OK, dialog.GetLoad(&load));
  EXPECT_EQ(0.0f, load);
}

TEST_F(MeasureLoad, IdleStartMeasuresTheRateAndTheThreadCountsUntilStop) {
  dialog.useIdleThread = 1;
  ASSERT_EQ(S_OK, dialog.Start());
  EXPECT_EQ(10000, ProcessLoadCounters().calibrationCount);
  EXPECT_GT(dialog.idleCountsPerMs, 0.0);
  EXPECT_EQ(1, dialog.idleThreadActive);
  ThreadWatch counting(dialog.idleThreadId);
  ASSERT_TRUE(counting.IsOpen());
  ASSERT_TRUE(WaitUntil([] { return ProcessLoadCounters().idleCount > 1000; }, 10000));
  float load = -1.0f;
  EXPECT_EQ(S_OK, dialog.GetLoad(&load));
  EXPECT_GE(load, 0.0f);
  EXPECT_LE(load, 100.0f);
  EXPECT_FALSE(counting.EndsWithin(50));
  EXPECT_EQ(S_OK, dialog.Stop());
  EXPECT_EQ(0, dialog.idleThreadActive);
  EXPECT_TRUE(counting.EndsWithin(10000));
}

TEST_F(MeasureLoad, IdleStartWithoutTscFrequencyCountsFiveMillion) {
  dialog.useIdleThread = 1;
  dialog.tscHz = 0;
  ASSERT_EQ(S_OK, dialog.Start());
  EXPECT_EQ(5000000, ProcessLoadCounters().calibrationCount);
}

TEST_F(MeasureLoad, OnlyTheNewestRunsThreadCounts) {
  dialog.useIdleThread = 1;
  ASSERT_EQ(S_OK, dialog.Start());
  ThreadWatch earlier(dialog.idleThreadId);
  ASSERT_TRUE(earlier.IsOpen());
  ASSERT_TRUE(WaitUntil([] { return ProcessLoadCounters().idleCount > 0; }, 10000));
  // The earlier thread gets no time between Stop and the next Start, so it
  // finds the flag set again when it next runs.
  earlier.Suspend();
  dialog.Stop();
  ASSERT_EQ(S_OK, dialog.Start());
  ThreadWatch newer(dialog.idleThreadId);
  ASSERT_TRUE(newer.IsOpen());
  earlier.Resume();
  EXPECT_TRUE(earlier.EndsWithin(5000));
  EXPECT_FALSE(newer.EndsWithin(100));
  ASSERT_TRUE(WaitUntil([] { return ProcessLoadCounters().idleCount > 0; }, 10000));
}

TEST_F(MeasureLoad, FullCounterRestartsTheCountAndItsInterval) {
  dialog.useIdleThread = 1;
  ASSERT_EQ(S_OK, dialog.Start());
  ThreadWatch counting(dialog.idleThreadId);
  ASSERT_TRUE(WaitUntil([] { return ProcessLoadCounters().idleCount > 0; }, 10000));
  counting.Suspend();
  ProcessLoadCounters().idleCount = static_cast<LONG>(0xFFFFFF00u);
  dialog.idleWrapTick = 1;
  counting.Resume();
  ASSERT_TRUE(WaitUntil([this] { return dialog.idleWrapTick != 1u; }, 10000));
  EXPECT_LE(GetTickCount() - dialog.idleWrapTick, 5000u);
  EXPECT_LT(static_cast<uint32_t>(ProcessLoadCounters().idleCount), 0x80000000u);
}

TEST_F(MeasureLoad, ThreadCreationFailureShows56001) {
  const measure_seam::ScopedFaults faults(measure_seam::kCreateThread);
  MessageBoxWatcher boxes;
  dialog.useIdleThread = 1;
  dialog.idleCountsPerMs = 123.0;
  dialog.idleWrapTick = 456;
  EXPECT_TRUE(codes::Failed(dialog.Start()));
  EXPECT_EQ(1, dialog.idleThreadActive);
  EXPECT_EQ(123.0, dialog.idleCountsPerMs);
  EXPECT_EQ(456u, dialog.idleWrapTick);
  const auto seen = boxes.Boxes();
  ASSERT_EQ(1u, seen.size());
  EXPECT_EQ("Fatal Error", seen[0].caption);
  EXPECT_EQ(Message(IDS_MSG_CREATE_THREAD_FAILED), Trimmed(seen[0].text));
}

TEST_F(MeasureLoad, StopWithoutAThreadChangesNothing) {
  dialog.idleWrapTick = 99;
  EXPECT_EQ(S_OK, dialog.Stop());
  EXPECT_EQ(0, dialog.idleThreadActive);
  EXPECT_EQ(99u, dialog.idleWrapTick);
}

TEST(MeasureSeam, FaultNamesFromTheEnvironmentList) {
  using namespace measure_seam;
  EXPECT_EQ(0u, ParseFaults(nullptr));
  EXPECT_EQ(0u, ParseFaults(""));
  EXPECT_EQ(kNtQueryLookup | kCreateThread, ParseFaults("ntquery,createthread"));
  EXPECT_EQ(kNtQueryCall | kMemStatusLookup | kMemStatusCall,
            ParseFaults("ntquerycall,bogus,memstatus,memstatuscall"));
}

TEST(MeasureLoadLifetime, DestroyingTheDialogWaitsUntilNoCountingThreadReadsIt) {
  auto dialog = std::make_unique<MonitorDialog>();
  dialog->tscHz = kSmallTscHz;
  dialog->useIdleThread = 1;
  ASSERT_EQ(S_OK, dialog->Start());
  ASSERT_EQ(S_OK, dialog->Stop());
  ASSERT_EQ(S_OK, dialog->Start());  // a second thread, the first maybe still alive
  ASSERT_GE(CountingThreadsAlive(), 1);
  // Leaving during a run: no Stop before the object goes.
  dialog.reset();
  EXPECT_EQ(0, CountingThreadsAlive());
}
