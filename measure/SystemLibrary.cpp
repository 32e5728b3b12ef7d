#include "measure/SystemLibrary.h"

#include <string>

#include "measure/PlatformSeam.h"

namespace {
using GetSystemDirectoryFn = UINT(WINAPI*)(LPSTR, UINT);
}  // namespace

OwnedModule LoadSystemLibrary(const char* fileName) {
  // Looked up like the libraries' own entries, so that the import table stays
  // exactly what the check for the oldest Windows knows.
  const auto systemDirectory = measure_seam::FunctionCast<GetSystemDirectoryFn>(
      measure_seam::LookupExport("kernel32", "GetSystemDirectoryA"));
  char folder[MAX_PATH];
  const UINT length = systemDirectory != nullptr ? systemDirectory(folder, MAX_PATH) : 0;
  if (length == 0 || length >= MAX_PATH) return OwnedModule();
  std::string path(folder, length);
  if (path.back() != '\\') path += '\\';
  path += fileName;
  return OwnedModule(LoadLibraryA(path.c_str()));
}
