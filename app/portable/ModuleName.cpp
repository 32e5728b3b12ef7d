#include "app/portable/ModuleName.h"

#include <cstdio>

std::string LanguageModuleName(uint32_t languageId) {
  char name[32];
  std::snprintf(name, sizeof name, "sentel%04u.dll", static_cast<unsigned>(languageId));
  return name;
}
