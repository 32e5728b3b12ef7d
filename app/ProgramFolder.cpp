#include "app/ProgramFolder.h"

#include <windows.h>

#include <string>

#include "app/portable/PathFolder.h"
#include "measure/PlatformSeam.h"

namespace {
// shlobj.h's values, which the program does not include.
constexpr int kCsidlPersonal = 0x0005;   // the user's Documents
constexpr DWORD kCurrentFolderPath = 0;  // SHGFP_TYPE_CURRENT
using GetFolderPathFn = HRESULT(WINAPI*)(HWND, int, HANDLE, DWORD, LPSTR);
using GetSpecialFolderPathFn = BOOL(WINAPI*)(HWND, LPSTR, int, BOOL);

bool IsLeadByte(unsigned char byte) { return IsDBCSLeadByte(byte) != FALSE; }

// shell32 is imported for the tray icon, so it is loaded: both are looked up
// there by name, since neither exists on every Windows the program runs on.
std::string ShellDocumentsPath() {
  char path[MAX_PATH] = {};
  // shell32 5.0 (2000) and later; S_FALSE means the folder does not exist.
  const auto getFolderPath = measure_seam::FunctionCast<GetFolderPathFn>(
      measure_seam::LookupExport("shell32.dll", "SHGetFolderPathA"));
  if (getFolderPath != nullptr) {
    const HRESULT found = getFolderPath(nullptr, kCsidlPersonal, nullptr, kCurrentFolderPath, path);
    return found == S_OK ? std::string(path) : std::string();
  }
  // shell32 4.71 (98, and 95 or NT 4.0 with the Internet Explorer 4 desktop);
  // NT 4.0 without it has neither, and the logs stay beside the program.
  const auto getSpecialFolderPath = measure_seam::FunctionCast<GetSpecialFolderPathFn>(
      measure_seam::LookupExport("shell32.dll", "SHGetSpecialFolderPathA"));
  if (getSpecialFolderPath != nullptr &&
      getSpecialFolderPath(nullptr, path, kCsidlPersonal, FALSE)) {
    return path;
  }
  return {};
}
}  // namespace

std::string ProgramFolder() {
  char path[MAX_PATH];
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  // A full buffer may hold a cut path: then no folder is better than a wrong one.
  if (length == 0 || length >= MAX_PATH) return {};
  return std::string(path, DirectoryLength(std::string_view(path, length), IsLeadByte));
}

bool CanCreateFilesIn(const std::string& folder) {
  // Only a real file tells: rights, a read-only share or medium and the
  // system's redirection each decide it in their own way. (Not
  // GetTempFileNameA: Wine's returns a name in a read-only folder too.)
  const std::string base = folder + "~tervo" + std::to_string(GetCurrentProcessId()) + "-";
  for (int attempt = 0; attempt < 10; ++attempt) {
    const std::string probe = base + std::to_string(attempt) + ".tmp";
    // Never over an existing file: a taken name says nothing of the folder.
    const HANDLE file = CreateFileA(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_TEMPORARY, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      CloseHandle(file);
      DeleteFileA(probe.c_str());
      return true;
    }
    if (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS) break;
  }
  return false;
}

std::string DocumentsFolder() { return WithTrailingBackslash(ShellDocumentsPath(), IsLeadByte); }
