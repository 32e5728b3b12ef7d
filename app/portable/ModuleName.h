#pragma once
#include <cstdint>
#include <string>

// File name of the language module for a language id: "sentel" and at least four
// zero-padded decimal digits, e.g. 7 -> sentel0007.dll, 70000 -> sentel70000.dll.
std::string LanguageModuleName(uint32_t languageId);
