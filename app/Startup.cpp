#include "app/Startup.h"

#include <string>

#include "app/ProgramFolder.h"
#include "app/ResourceStrings.h"
#include "app/SettingsKey.h"
#include "app/WindowsVersion.h"
#include "app/portable/ModuleName.h"
#include "res/resource.h"

namespace {
constexpr char kDialogClass[] = "#32770";

// Only the module beside the program is taken, never one found along the search
// path. On the NT family it is mapped as data, so none of its code can run; the
// 95 family's dialog manager wants a loaded module, and the full path still
// keeps a planted file out.
HMODULE LoadLanguageModule(const std::string& path) {
  if (path.find('\\') == std::string::npos) return nullptr;
  if (!IsNtFamily()) return LoadLibraryA(path.c_str());
  return LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
}
}  // namespace

HANDLE ClaimSingleInstance(const char* name) {
  HANDLE mutex = CreateMutexA(nullptr, TRUE, name);
  if (GetLastError() != ERROR_ALREADY_EXISTS) return mutex;
  const std::string title = LoadResourceString(IDS_TITLE);
  BringToFront(FindWindowA(kDialogClass, title.c_str()));
  // The mutex handle of the running instance's name is not used further; the
  // process ends next and its end closes the handle.
  // cppcheck-suppress resourceLeak
  return nullptr;
}

void BringToFront(HWND window) {
  if (window == nullptr) return;
  if (!IsWindowVisible(window)) ShowWindow(window, SW_SHOW);
  if (IsIconic(window)) {
    ShowWindow(window, SW_RESTORE);
  } else {
    BringWindowToTop(window);
  }
  SetForegroundWindow(window);
}

void SelectResourceModule() {
  uint32_t languageId = 0;
  {
    // Without the settings key no language module is used at all.
    const RegistryKey key = OpenSettingsKey(KEY_READ | KEY_WRITE);
    if (!key.IsOpen()) return;
    if (!key.ReadDword("Language", languageId)) languageId = GetUserDefaultLangID();
  }
  if (HMODULE module = LoadLanguageModule(ProgramFolder() + LanguageModuleName(languageId))) {
    SetResourceModule(module);
  }
}
