#include "app/WindowsVersion.h"

namespace {
// Null when the version cannot be read.
const OSVERSIONINFOA* ReadVersion(OSVERSIONINFOA& version) {
  version = OSVERSIONINFOA{};
  version.dwOSVersionInfoSize = sizeof version;
  return GetVersionExA(&version) ? &version : nullptr;
}
}  // namespace

bool IsNtFamily() {
  OSVERSIONINFOA storage;
  const OSVERSIONINFOA* version = ReadVersion(storage);
  return version != nullptr && version->dwPlatformId == VER_PLATFORM_WIN32_NT;
}

bool IsObsoleteOs() {
  OSVERSIONINFOA storage;
  const OSVERSIONINFOA* version = ReadVersion(storage);
  if (version == nullptr) return true;
  if (version->dwMajorVersion >= 5) return false;
  return !(version->dwMajorVersion == 4 && version->dwMinorVersion >= 90);
}
