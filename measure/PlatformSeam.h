// The narrow way by which the measurement engine reaches the platform calls
// that can fail: the run-time export lookups and CreateThread. Tests make them
// fail here, in-process or through the environment.
#pragma once
#include <windows.h>

#include <cstdint>

namespace measure_seam {

// Failures that can be switched on.
enum Fault : uint32_t {
  kNtQueryLookup = 0x01,    // "NtQuerySystemInformation" is not found
  kNtQueryCall = 0x02,      // the query is found but every call fails
  kMemStatusLookup = 0x04,  // "GlobalMemoryStatusEx" is not found
  kMemStatusCall = 0x08,    // it is found but every call fails
  kCreateThread = 0x10,     // the counting thread cannot be created
};

// Test hook: the environment variable SENTEL_TEST_FAULTS, read once on first
// use, holds a comma-separated list of the names
//   ntquery, ntquerycall, memstatus, memstatuscall, createthread
// (one per Fault above, in that order). Unknown names are ignored. Unset or
// empty, nothing fails. Windows-side tests use SetFaults instead.
constexpr const char kFaultsVariable[] = "SENTEL_TEST_FAULTS";
uint32_t ParseFaults(const char* list);

uint32_t Faults();
void SetFaults(uint32_t faults);

// GetModuleHandleA + GetProcAddress, unless a fault says otherwise. A failed
// lookup returns null with the last error set, as GetProcAddress does.
FARPROC LookupExport(const char* module, const char* name);

// CreateThread with no security attributes, the default stack and flags 0.
HANDLE CreateCountingThread(LPTHREAD_START_ROUTINE routine, LPVOID parameter, DWORD* threadId);

// Converts between function pointer types through the one type that matches
// every other, as an export looked up by name has to be.
template <typename To, typename From>
To FunctionCast(From function) {
  return reinterpret_cast<To>(reinterpret_cast<void (*)()>(function));
}

// Switches faults on for a scope and restores the previous ones after it.
class ScopedFaults {
 public:
  explicit ScopedFaults(uint32_t faults) : previous_(Faults()) { SetFaults(faults); }
  ~ScopedFaults() { SetFaults(previous_); }
  ScopedFaults(const ScopedFaults&) = delete;
  ScopedFaults& operator=(const ScopedFaults&) = delete;

 private:
  uint32_t previous_;
};

}  // namespace measure_seam
