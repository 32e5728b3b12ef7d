// A library of Windows itself, loaded by its full path in the system folder so
// that no copy beside the program or in the working folder is taken instead.
#pragma once
#include <windows.h>

#include "app/OwnedHandle.h"
#include "measure/PlatformSeam.h"

using OwnedModule = Owned<HMODULE, &FreeLibrary>;

// Null, with the last error set, when the system has no such library.
OwnedModule LoadSystemLibrary(const char* fileName);

// GetProcAddress into the type the caller names.
template <typename Function>
Function ExportOf(const OwnedModule& module, const char* name) {
  if (!module) return nullptr;
  return measure_seam::FunctionCast<Function>(GetProcAddress(module.Get(), name));
}
