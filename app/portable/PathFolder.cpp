#include "app/portable/PathFolder.h"

size_t DirectoryLength(std::string_view path, LeadBytePredicate isLeadByte) {
  size_t length = 0;
  for (size_t i = 0; i < path.size(); ++i) {
    if (path[i] == '\\') {
      length = i + 1;
    } else if (isLeadByte(static_cast<unsigned char>(path[i])) && i + 1 < path.size()) {
      ++i;
    }
  }
  return length;
}

std::string WithTrailingBackslash(std::string_view folder, LeadBytePredicate isLeadByte) {
  std::string result(folder);
  if (!folder.empty() && DirectoryLength(folder, isLeadByte) != folder.size()) result += '\\';
  return result;
}
