#include "app/ResourceStrings.h"

#include <vector>

#include "app/portable/FormatCheck.h"

namespace {
HMODULE g_resourceModule = nullptr;
}

HMODULE ResourceModule() {
  return g_resourceModule != nullptr ? g_resourceModule : GetModuleHandleA(nullptr);
}

void SetResourceModule(HMODULE module) {
  InterlockedExchangePointer(reinterpret_cast<PVOID*>(&g_resourceModule), module);
}

std::string LoadStringFrom(HMODULE module, UINT id) {
  // LoadStringA cuts the text to the buffer: grow until it fits. A string
  // resource holds at most 65535 characters of at most two bytes each.
  std::vector<char> buffer(256);
  for (;;) {
    const int length = LoadStringA(module, id, buffer.data(), static_cast<int>(buffer.size()));
    if (length <= 0) return {};
    if (static_cast<size_t>(length) < buffer.size() - 1 || buffer.size() >= (1u << 18)) {
      return std::string(buffer.data(), static_cast<size_t>(length));
    }
    buffer.resize(buffer.size() * 4);
  }
}

std::string LoadResourceString(UINT id) { return LoadStringFrom(ResourceModule(), id); }

std::string LoadFormatString(UINT id) {
  const HMODULE executable = GetModuleHandleA(nullptr);
  std::string own = LoadStringFrom(executable, id);
  if (ResourceModule() == executable) return own;
  return ChooseSafeFormat(LoadResourceString(id), own);
}
