// Where generated log files and run journals go: beside the program, or, when
// no file can be made there (Program Files, a read-only share), in a folder of
// the program's own in the user's Documents.
#pragma once
#include <string>
#include <vector>

class LogFolder {
 public:
  // Decides once, as the dialog opens. `tryProgramFolder` is false when no log
  // file is ever written: nothing is then tried and the logs stay put.
  void Choose(bool tryProgramFolder);
  // The folder for a new file, with its trailing backslash; the one in
  // Documents is made first when it is missing.
  std::string ForNewFile() const;
  // The folder in Documents, without its backslash, when the logs go there;
  // empty when they stay beside the program.
  std::string Elsewhere() const;
  // Every folder that may hold the journal of an earlier run.
  std::vector<std::string> JournalPlaces() const;

 private:
  std::string documents_;  // with the program's subfolder; empty when the shell names none
  bool elsewhere_ = false;
};
