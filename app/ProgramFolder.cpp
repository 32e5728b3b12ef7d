#include "app/ProgramFolder.h"

#include <windows.h>

#include "app/portable/PathFolder.h"

namespace {
bool IsLeadByte(unsigned char byte) { return IsDBCSLeadByte(byte) != FALSE; }
}  // namespace

std::string ProgramFolder() {
  char path[MAX_PATH];
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  // A full buffer may hold a cut path: then no folder is better than a wrong one.
  if (length == 0 || length >= MAX_PATH) return {};
  return std::string(path, DirectoryLength(std::string_view(path, length), IsLeadByte));
}
