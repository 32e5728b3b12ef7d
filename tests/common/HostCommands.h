// The host under Wine: its path for a Windows one, and its programs, for the
// tests that need the file system in a state no Windows call can make.
#pragma once
#include <windows.h>

#include <string>

namespace test_host {

// Starts a Linux command through Wine, which runs host programs itself but
// hands out no handle to wait on: callers poll for its effect.
inline bool StartHostCommand(const std::string& command) {
  std::string line = command;
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &info)) {
    return false;
  }
  if (info.hThread != nullptr) CloseHandle(info.hThread);
  if (info.hProcess != nullptr) CloseHandle(info.hProcess);
  return true;
}

// The Linux path of a Windows one; empty outside Wine.
inline std::string HostPath(const std::string& windowsPath) {
  // A function type, not a cast.
  // cppcheck-suppress cstyleCast
  using UnixName = char*(CDECL*)(LPCWSTR);
  const auto unixName = reinterpret_cast<UnixName>(reinterpret_cast<void (*)()>(
      GetProcAddress(GetModuleHandleA("kernel32"), "wine_get_unix_file_name")));
  wchar_t wide[MAX_PATH];
  MultiByteToWideChar(CP_ACP, 0, windowsPath.c_str(), -1, wide, MAX_PATH);
  char* name = unixName != nullptr ? unixName(wide) : nullptr;
  if (name == nullptr) return {};
  std::string path(name);
  HeapFree(GetProcessHeap(), 0, name);
  return path;
}

}  // namespace test_host
