// The processor instructions and priority steps shared by the calibration and
// the load service's counting loops.
#pragma once
#include <windows.h>

#include <cstdint>
#include <x86intrin.h>

// CPUID with EAX = 0, its output discarded: the body of every spin and count.
inline void ExecuteCpuid() {
  uint32_t eax = 0, ebx, ecx, edx;
  __asm__ __volatile__("cpuid" : "+a"(eax), "=b"(ebx), "=c"(ecx), "=d"(edx));
}

struct CpuidRegisters {
  uint32_t eax, ebx, ecx, edx;
};
// CPUID for `leaf`, its output kept.
inline CpuidRegisters Cpuid(uint32_t leaf) {
  CpuidRegisters out{leaf, 0, 0, 0};
  __asm__ __volatile__("cpuid" : "+a"(out.eax), "=b"(out.ebx), "=c"(out.ecx), "=d"(out.edx));
  return out;
}

inline uint64_t ReadTsc() { return __rdtsc(); }

inline int64_t ReadPerformanceCounter() {
  LARGE_INTEGER count;
  QueryPerformanceCounter(&count);
  return count.QuadPart;
}

// Before a measurement: the given class, a time-critical thread, and a fresh
// time slice after the sleep.
inline void RaiseMeasurementPriority(DWORD priorityClass) {
  SetPriorityClass(GetCurrentProcess(), priorityClass);
  SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL);
  Sleep(12);
}

// After it: normal class and priority, whatever they were before.
inline void DropMeasurementPriority() {
  SetPriorityClass(GetCurrentProcess(), NORMAL_PRIORITY_CLASS);
  SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_NORMAL);
  Sleep(0);
}
