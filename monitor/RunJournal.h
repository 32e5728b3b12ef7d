// The run journal: a file that every line of a run reaches before the next
// tick, so that a run which never reaches Stop is not lost.
#pragma once
#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

#include "app/OwnedHandle.h"

class RunJournal {
 public:
  // Creates a new journal named `base` + ".journal" (numbered when that is
  // taken) that holds `text`. Returns S_OK or the failure.
  HRESULT Create(const std::string& base, std::string_view text);
  // Appends `text` with CR LF line ends and flushes it to the disk.
  HRESULT Append(std::string_view text);
  // Closes the journal and deletes its file: the run has been saved.
  void Remove();
  // Closes the journal and leaves its file for the next start to recover.
  void Abandon();

  bool IsOpen() const { return static_cast<bool>(file_); }

 private:
  OwnedHandle file_;
  std::string path_;
};

// Turns every journal in `folder` into a log file of the same base name
// (numbered when taken), ending with the `interruptedLine` its last write time
// gives. Returns the paths of the files made.
using InterruptedLineFn = std::string (*)(const SYSTEMTIME& lastWrite);
std::vector<std::string> RecoverJournals(const std::string& folder,
                                         InterruptedLineFn interruptedLine);
