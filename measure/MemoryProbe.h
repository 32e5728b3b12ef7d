// Available physical memory in kilobytes: GlobalMemoryStatus outside the NT
// family, GlobalMemoryStatusEx (looked up at run time) on it.
#pragma once
#include <windows.h>

#include <cstdint>

// The reading alone: on failure 0 is written and the failure returned, with no box.
HRESULT ReadAvailableMemoryKb(bool isNt, uint64_t* kilobytes);
// The reading, and message 56007 when it fails (unless that box is open already).
HRESULT GetAvailableMemoryKb(bool isNt, uint64_t* kilobytes);
