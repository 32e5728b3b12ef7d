#include "app/SettingsKey.h"

#include <string>

#include "app/ResourceStrings.h"
#include "res/resource.h"

RegistryKey OpenSettingsKey(REGSAM access) {
  const std::string path = LoadResourceString(IDS_SETTINGS_KEY);
  return RegistryKey(HKEY_CURRENT_USER, path.c_str(), access);
}
