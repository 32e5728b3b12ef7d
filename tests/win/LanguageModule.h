// Makes a module beside the test program the resource module for one scope.
#pragma once
#include <windows.h>

#include <string>

#include "app/ResourceStrings.h"

class WithLanguageModule {
 public:
  explicit WithLanguageModule(const char* file) {
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path);
    folder.resize(folder.find_last_of('\\') + 1);
    module_ = LoadLibraryA((folder + file).c_str());
    if (module_ != nullptr) SetResourceModule(module_);
  }
  WithLanguageModule(const WithLanguageModule&) = delete;
  WithLanguageModule& operator=(const WithLanguageModule&) = delete;
  ~WithLanguageModule() {
    SetResourceModule(nullptr);
    if (module_ != nullptr) FreeLibrary(module_);
  }
  bool Loaded() const { return module_ != nullptr; }

 private:
  HMODULE module_ = nullptr;
};
