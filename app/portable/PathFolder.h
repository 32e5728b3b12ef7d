// The folder part of a Windows path in the ANSI code page.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>

// Tells whether a byte starts a double-byte character in the ANSI code page.
using LeadBytePredicate = bool (*)(unsigned char);

// The length of the directory part of `path`: up to and including its last
// backslash, searched character by character so that the trailing byte of a
// double-byte character is never taken for one; 0 when there is none.
size_t DirectoryLength(std::string_view path, LeadBytePredicate isLeadByte);

// `folder` ending in a backslash of its own (not the trailing byte of a
// double-byte character), so that a file name can follow it; empty stays empty.
std::string WithTrailingBackslash(std::string_view folder, LeadBytePredicate isLeadByte);
