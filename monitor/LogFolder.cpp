#include "monitor/LogFolder.h"

#include <windows.h>

#include "app/ProgramFolder.h"

namespace {
constexpr char kSubfolder[] = "Tervo\\";
}

void LogFolder::Choose(bool tryProgramFolder) {
  const std::string documents = DocumentsFolder();
  documents_ = documents.empty() ? std::string() : documents + kSubfolder;
  // Without a folder of its own the program keeps relative names, as before.
  const std::string program = ProgramFolder();
  elsewhere_ =
      tryProgramFolder && !program.empty() && !documents_.empty() && !CanCreateFilesIn(program);
}

std::string LogFolder::ForNewFile() const {
  if (!elsewhere_) return ProgramFolder();
  // Already there, or not to be made: the file's own create then fails and says so.
  CreateDirectoryA(documents_.c_str(), nullptr);
  return documents_;
}

std::string LogFolder::Elsewhere() const {
  return elsewhere_ ? documents_.substr(0, documents_.size() - 1) : std::string();
}

std::vector<std::string> LogFolder::JournalPlaces() const {
  // Both, whichever is chosen now: an earlier start may have chosen the other.
  std::vector<std::string> places{ProgramFolder()};
  if (!documents_.empty() && documents_ != places.front()) places.push_back(documents_);
  return places;
}
