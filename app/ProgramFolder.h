// The folder the running program was started from.
#pragma once
#include <string>

// The executable's folder with its trailing backslash; empty when the
// program's path cannot be read, so that names stay relative.
std::string ProgramFolder();
