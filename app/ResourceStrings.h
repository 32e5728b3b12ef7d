// The module every resource comes from, and string loading from it.
#pragma once
#include <windows.h>

#include <string>

// The language module once one is chosen at start-up; the executable until then.
HMODULE ResourceModule();
// Replaces the resource module (once, during start-up, before any other thread).
void SetResourceModule(HMODULE module);

// String resource `id` of `module`, whole whatever its length; empty when missing.
std::string LoadStringFrom(HMODULE module, UINT id);
// String resource `id` of the resource module.
std::string LoadResourceString(UINT id);
// A format text of the resource module, used only when its conversions match the
// executable's own text of the same id; the executable's text otherwise.
std::string LoadFormatString(UINT id);
