// The texts and names of the run journal: pure functions, no platform calls.
#pragma once
#include <string>
#include <string_view>

// The extension of a journal file; the recovered log keeps its base name.
constexpr char kJournalExtension[] = ".journal";
constexpr char kLogExtension[] = ".txt";

// `text` as a file in text mode receives it: every line feed becomes CR LF.
std::string WithCrLf(std::string_view text);

// The `attempt`-th choice of a name that must not exist yet: `base` and
// `extension` for the first, then "base-2", "base-3", ... before the extension.
std::string NumberedName(const std::string& base, unsigned attempt, const char* extension);

// `path` without a trailing `extension` (compared without regard to case), or
// empty when it does not end with it.
std::string WithoutExtension(const std::string& path, const char* extension);
