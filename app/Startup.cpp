#include "app/Startup.h"

#include <string>

#include "app/RegistryKey.h"
#include "app/ResourceStrings.h"
#include "app/portable/ModuleName.h"
#include "res/resource.h"

namespace {
constexpr char kDialogClass[] = "#32770";
}

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

bool IsObsoleteOs() {
  OSVERSIONINFOA version{};
  version.dwOSVersionInfoSize = sizeof version;
  if (!GetVersionExA(&version)) return true;
  if (version.dwMajorVersion >= 5) return false;
  return !(version.dwMajorVersion == 4 && version.dwMinorVersion >= 90);
}

void SelectResourceModule() {
  const std::string keyPath = LoadResourceString(IDS_SETTINGS_KEY);
  uint32_t languageId = 0;
  {
    // Without the settings key no language module is used at all.
    RegistryKey key(HKEY_CURRENT_USER, keyPath.c_str(), KEY_READ | KEY_WRITE);
    if (!key.IsOpen()) return;
    if (!key.ReadDword("Language", languageId)) languageId = GetUserDefaultLangID();
  }
  if (HMODULE module = LoadLibraryA(LanguageModuleName(languageId).c_str())) {
    SetResourceModule(module);
  }
}
