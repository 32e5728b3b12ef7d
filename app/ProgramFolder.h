// The folder the running program was started from, and the user's own
// folders that the shell names.
#pragma once
#include <string>

// The executable's folder with its trailing backslash; empty when the
// program's path cannot be read, so that names stay relative.
std::string ProgramFolder();

// Whether a new file can be made in `folder` (trailing backslash), found by
// making one and removing it again.
bool CanCreateFilesIn(const std::string& folder);

// The current user's Documents folder with its trailing backslash, as the
// shell names it; empty where the shell names none.
std::string DocumentsFolder();
