// The current user's settings key, named by string resource IDS_SETTINGS_KEY.
#pragma once
#include "app/RegistryKey.h"

// Opens the key for `access`; nothing creates it, so it may not be open.
RegistryKey OpenSettingsKey(REGSAM access);
