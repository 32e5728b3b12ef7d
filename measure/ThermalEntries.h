// The platform entries the Thermal monitor's sources call, with their
// documented signatures, and the hook through which tests replace them.
#pragma once
#include <windows.h>
// after windows.h
#include <pdh.h>

// pdh.dll (PdhAddEnglishCounterA from Vista; the counters themselves later)
using PdhOpenQueryFn = PDH_STATUS(WINAPI*)(LPCSTR dataSource, DWORD_PTR userData,
                                           PDH_HQUERY* query);
using PdhAddEnglishCounterFn = PDH_STATUS(WINAPI*)(PDH_HQUERY query, LPCSTR path,
                                                   DWORD_PTR userData, PDH_HCOUNTER* counter);
using PdhCollectQueryDataFn = PDH_STATUS(WINAPI*)(PDH_HQUERY query);
using PdhGetFormattedCounterValueFn = PDH_STATUS(WINAPI*)(PDH_HCOUNTER counter, DWORD format,
                                                          LPDWORD type,
                                                          PDH_FMT_COUNTERVALUE* value);
using PdhGetFormattedCounterArrayFn = PDH_STATUS(WINAPI*)(PDH_HCOUNTER counter, DWORD format,
                                                          LPDWORD bufferBytes, LPDWORD itemCount,
                                                          PDH_FMT_COUNTERVALUE_ITEM_A* items);
using PdhCloseQueryFn = PDH_STATUS(WINAPI*)(PDH_HQUERY query);
// powrprof.dll (Windows 2000): an NTSTATUS, 0 for success.
using CallNtPowerInformationFn = LONG(WINAPI*)(int level, PVOID input, ULONG inputBytes,
                                               PVOID output, ULONG outputBytes);
// kernel32.dll
using GetSystemPowerStatusFn = BOOL(WINAPI*)(SYSTEM_POWER_STATUS* status);

struct ThermalEntries {
  PdhOpenQueryFn openQuery = nullptr;
  PdhAddEnglishCounterFn addEnglishCounter = nullptr;
  PdhCollectQueryDataFn collectQueryData = nullptr;
  PdhGetFormattedCounterValueFn formattedValue = nullptr;
  PdhGetFormattedCounterArrayFn formattedArray = nullptr;
  PdhCloseQueryFn closeQuery = nullptr;
  CallNtPowerInformationFn powerInformation = nullptr;
  GetSystemPowerStatusFn powerStatus = nullptr;
};

// CallNtPowerInformation's ProcessorInformation: one record per processor.
constexpr int kProcessorInformation = 11;
struct ProcessorPowerInformation {
  ULONG number;
  ULONG maxMhz;
  ULONG currentMhz;
  ULONG mhzLimit;
  ULONG maxIdleState;
  ULONG currentIdleState;
};
static_assert(sizeof(ProcessorPowerInformation) == 24, "PROCESSOR_POWER_INFORMATION");

// Test hook: called with the entries just looked up, before any is called;
// it may replace any of them.
namespace thermal_seam {
using EntriesHook = void (*)(ThermalEntries& entries);
void SetEntriesHook(EntriesHook hook);
EntriesHook EntriesHookNow();
}  // namespace thermal_seam
