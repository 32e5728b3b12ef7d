// Format texts can come from a language module, so they are untrusted input: a
// module's format is used only when its conversions are exactly the program's own.
#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The conversion specifications of a printf format, in order ("%%" is left out),
// or nothing when the text is not a well-formed format.
std::optional<std::vector<std::string>> ParseConversions(std::string_view format);

// True when `candidate` is well formed and has the same conversions, in the same
// order and spelled the same, as `reference`.
bool HasSameConversions(std::string_view candidate, std::string_view reference);

// `candidate` when it passes HasSameConversions, otherwise `reference`.
const std::string& ChooseSafeFormat(const std::string& candidate, const std::string& reference);
