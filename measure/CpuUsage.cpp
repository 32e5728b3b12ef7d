// The CPU load service: the native system query, or an idle-priority thread
// whose count falls short of a full-speed count by the load.
#include <atomic>
#include <cstddef>
#include <cstring>

#include "app/MessageBoxes.h"
#include "app/OwnedHandle.h"
#include "app/portable/ErrorCodes.h"
#include "measure/LoadCounters.h"
#include "measure/PlatformSeam.h"
#include "measure/Processor.h"
#include "monitor/MonitorDialog.h"
#include "res/resource.h"

#include <winternl.h>

namespace {
// Information classes of the native query and the parts of them read here.
constexpr ULONG kBasicInformation = 0;
constexpr ULONG kPerformanceInformation = 2;
constexpr ULONG kTimeOfDayInformation = 3;
#ifdef _WIN64
constexpr ULONG kBasicInformationSize = 64;
constexpr size_t kProcessorCountOffset = 56;
#else
constexpr ULONG kBasicInformationSize = 44;
constexpr size_t kProcessorCountOffset = 40;
#endif
static_assert(sizeof(SYSTEM_BASIC_INFORMATION) == kBasicInformationSize, "basic information");
static_assert(offsetof(SYSTEM_BASIC_INFORMATION, NumberOfProcessors) == kProcessorCountOffset,
              "processor count");
constexpr ULONG kTimeOfDayInformationSize = 32;
constexpr size_t kCurrentTimeOffset = 8;
constexpr ULONG kPerformanceInformationSize = 312;
constexpr size_t kIdleTimeOffset = 0;

constexpr uint32_t kCounterFull = 0xFFFFFFFFu;

// Counting threads that may still read the dialog object.
std::atomic<int> g_liveCountingThreads{0};
constexpr DWORD kCountingThreadsGraceMs = 2000;

// The last thing a counting thread does: after this it touches nothing of the dialog.
[[noreturn]] void LeaveCountingThread() {
  --g_liveCountingThreads;
  ExitThread(0);
}

template <typename Value>
Value ReadAt(const unsigned char* buffer, size_t offset) {
  Value value;
  std::memcpy(&value, buffer + offset, sizeof value);
  return value;
}

bool Query(QuerySystemInformationFn query, ULONG infoClass, unsigned char* buffer, ULONG size) {
  return query(infoClass, buffer, size, nullptr) == 0;
}

// The one counting step of the full-speed run and of the counting thread.
inline uint32_t CountPass(volatile LONG& counter) {
  ExecuteCpuid();
  return static_cast<uint32_t>(InterlockedIncrement(&counter));
}
}  // namespace

LoadCounters& ProcessLoadCounters() {
  static LoadCounters counters;
  return counters;
}

HRESULT MonitorDialog::Start() {
  loadMethod = LoadMethod::kNone;
  if (useIdleThread == 0) {
    querySystemInformation = measure_seam::FunctionCast<QuerySystemInformationFn>(
        measure_seam::LookupExport("ntdll", "NtQuerySystemInformation"));
    if (querySystemInformation == nullptr) {
      const HRESULT failure = FailureFromLastError(GetLastError());
      FatalErrorBox(MAKEINTRESOURCEA(IDS_MSG_NTQUERY_NOT_FOUND), MB_OK | MB_ICONERROR);
      return failure;
    }
    loadMethod = LoadMethod::kNative;
    return codes::kOk;
  }

  LoadCounters& counters = ProcessLoadCounters();
  RaiseMeasurementPriority(REALTIME_PRIORITY_CLASS);
  const DWORD t0 = GetTickCount();
  // A counting thread of an earlier run that is still alive leaves now.
  ++idleRunGeneration;
  idleThreadActive = 1;
  counters.calibrationCount = 0;
  const uint64_t limit = IdleCalibrationLimit(tscHz);
  while (idleThreadActive) {
    if (CountPass(counters.calibrationCount) >= limit) break;
  }
  const DWORD t1 = GetTickCount();
  DropMeasurementPriority();

  DWORD threadId = 0;
  ++g_liveCountingThreads;
  const HANDLE thread =
      measure_seam::CreateCountingThread(&MonitorDialog::IdleCounterThread, this, &threadId);
  if (thread == nullptr) {
    --g_liveCountingThreads;
    const HRESULT failure = FailureFromLastError(GetLastError());
    FatalErrorBox(MAKEINTRESOURCEA(IDS_MSG_CREATE_THREAD_FAILED), MB_OK | MB_ICONERROR);
    return failure;
  }
  CloseHandle(thread);
  idleThreadId = threadId;
  idleWrapTick = GetTickCount();
  idleCountsPerMs =
      IdleCountsPerMs(static_cast<uint32_t>(counters.calibrationCount), MsDelta(t1, t0));
  loadMethod = LoadMethod::kIdleThread;
  return codes::kOk;
}

HRESULT MonitorDialog::Stop() {
  if (idleThreadActive) idleThreadActive = 0;
  loadMethod = LoadMethod::kNone;
  return codes::kOk;
}

HRESULT MonitorDialog::GetLoad(float* load) {
  const HRESULT result = ReadLoad(load);
  if (codes::Failed(result) && result != codes::kPointer) {
    FatalErrorBoxUnlessOpen(IDS_MSG_NTQUERY_FAILED);
  }
  return result;
}

HRESULT MonitorDialog::ReadLoad(float* load) {
  if (load == nullptr) return codes::kPointer;
  // A started service measures with the method it started with, whatever the
  // check box says since; unstarted, the setting decides.
  const bool idleThread =
      loadMethod == LoadMethod::kNone ? useIdleThread != 0 : loadMethod == LoadMethod::kIdleThread;
  if (idleThread) {
    const uint32_t count =
        static_cast<uint32_t>(InterlockedExchange(&ProcessLoadCounters().idleCount, 0));
    const DWORD now = GetTickCount();
    *load = IdleLoadPercent(count, MsDelta(now, idleWrapTick), idleCountsPerMs);
    idleWrapTick = now;
    return codes::kOk;
  }
  if (QueryNativeLoad(load)) return codes::kOk;
  return FailureFromLastError(GetLastError());
}

bool MonitorDialog::QueryNativeLoad(float* load) {
  *load = 0.0f;
  if (querySystemInformation == nullptr) return false;
  alignas(8) unsigned char basic[kBasicInformationSize] = {};
  alignas(8) unsigned char timeOfDay[kTimeOfDayInformationSize] = {};
  alignas(8) unsigned char performance[kPerformanceInformationSize] = {};
  if (!Query(querySystemInformation, kBasicInformation, basic, sizeof basic) ||
      !Query(querySystemInformation, kTimeOfDayInformation, timeOfDay, sizeof timeOfDay) ||
      !Query(querySystemInformation, kPerformanceInformation, performance, sizeof performance)) {
    return false;
  }
  *load =
      NativeLoadPercent(ProcessLoadCounters().native, ReadAt<int64_t>(performance, kIdleTimeOffset),
                        ReadAt<int64_t>(timeOfDay, kCurrentTimeOffset),
                        ReadAt<uint8_t>(basic, kProcessorCountOffset));
  return true;
}

DWORD WINAPI MonitorDialog::IdleCounterThread(LPVOID monitorDialog) {
  auto& dialog = *static_cast<MonitorDialog*>(monitorDialog);
  SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_IDLE);
  Sleep(12);

  // Claim the newest run, unless another thread already counts for it.
  uint32_t run;
  for (;;) {
    run = dialog.idleRunGeneration;
    uint32_t claimed = dialog.idleRunClaimed;
    if (claimed == run) LeaveCountingThread();
    if (dialog.idleRunClaimed.compare_exchange_strong(claimed, run)) break;
  }

  LoadCounters& counters = ProcessLoadCounters();
  counters.idleCount = 0;
  while (dialog.idleThreadActive && dialog.idleRunGeneration == run) {
    if (CountPass(counters.idleCount) == kCounterFull) {
      if (!dialog.idleThreadActive) break;
      InterlockedExchange(&counters.idleCount, 0);
      dialog.idleWrapTick = GetTickCount();
    }
  }
  LeaveCountingThread();
}

int CountingThreadsAlive() { return g_liveCountingThreads; }

void MonitorDialog::EndCountingThreads() {
  // Every counting thread leaves at its next pass; wait until none reads this object.
  idleThreadActive = 0;
  ++idleRunGeneration;
  if (g_liveCountingThreads > 0 && idleThreadId != 0) {
    // At idle priority it might wait long for a turn on a busy machine. Windows 98
    // has no OpenThread: there the thread leaves within the grace time or not.
    using OpenThreadFn = HANDLE(WINAPI*)(DWORD, BOOL, DWORD);
    const auto openThread = measure_seam::FunctionCast<OpenThreadFn>(
        measure_seam::LookupExport("kernel32", "OpenThread"));
    if (openThread != nullptr) {
      const OwnedHandle thread(openThread(THREAD_SET_INFORMATION, FALSE, idleThreadId));
      if (thread) SetThreadPriority(thread.Get(), THREAD_PRIORITY_NORMAL);
    }
  }
  const DWORD start = GetTickCount();
  while (g_liveCountingThreads > 0 && GetTickCount() - start < kCountingThreadsGraceMs) Sleep(1);
}
