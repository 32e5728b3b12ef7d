#include "monitor/RunJournal.h"

#include "app/portable/ErrorCodes.h"
#include "monitor/portable/JournalText.h"

namespace {
// Enough for any folder that would ever hold this many leftovers.
constexpr unsigned kNameAttempts = 1000;

HRESULT LastFailure() { return FailureFromLastError(GetLastError()); }

bool NameIsTaken(DWORD error) {
  return error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS;
}

OwnedHandle OpenFile(const std::string& path, DWORD access, DWORD disposition) {
  const HANDLE file = CreateFileA(path.c_str(), access, FILE_SHARE_READ, nullptr, disposition,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  // Handed to its owner here, which closes it.
  // cppcheck-suppress resourceLeak
  return OwnedHandle(file == INVALID_HANDLE_VALUE ? nullptr : file);
}

HRESULT WriteAll(HANDLE file, std::string_view bytes) {
  while (!bytes.empty()) {
    DWORD written = 0;
    const DWORD chunk = static_cast<DWORD>(bytes.size() < 0x10000000u ? bytes.size() : 0x10000000u);
    if (!WriteFile(file, bytes.data(), chunk, &written, nullptr)) return LastFailure();
    if (written == 0) return FailureFromLastError(ERROR_DISK_FULL);
    bytes.remove_prefix(written);
  }
  // On the disk before the next tick, not in a cache that a power cut empties.
  return FlushFileBuffers(file) ? codes::kOk : LastFailure();
}

// Whether the file's last byte ends a line; a cut write may have left half a line.
bool EndsWithLineFeed(HANDLE file) {
  if (SetFilePointer(file, -1, nullptr, FILE_END) == INVALID_SET_FILE_POINTER &&
      GetLastError() != NO_ERROR) {
    return true;  // empty
  }
  char last = '\n';
  DWORD read = 0;
  return !ReadFile(file, &last, 1, &read, nullptr) || read != 1 || last == '\n';
}

// Appends the last line to a recovered log, at its end, and keeps it on the disk.
void AppendInterruptedLine(const std::string& path, InterruptedLineFn interruptedLine) {
  const OwnedHandle file = OpenFile(path, GENERIC_READ | GENERIC_WRITE, OPEN_EXISTING);
  if (!file) return;
  FILETIME written{};
  FILETIME local{};
  SYSTEMTIME time{};
  if (!GetFileTime(file.Get(), nullptr, nullptr, &written) ||
      !FileTimeToLocalFileTime(&written, &local) || !FileTimeToSystemTime(&local, &time)) {
    GetLocalTime(&time);
  }
  std::string line = EndsWithLineFeed(file.Get()) ? "" : "\n";
  line += interruptedLine(time);
  if (SetFilePointer(file.Get(), 0, nullptr, FILE_END) == INVALID_SET_FILE_POINTER &&
      GetLastError() != NO_ERROR) {
    return;
  }
  WriteAll(file.Get(), WithCrLf(line));
}
}  // namespace

HRESULT RunJournal::Create(const std::string& base, std::string_view text) {
  Abandon();
  for (unsigned attempt = 1; attempt <= kNameAttempts; ++attempt) {
    const std::string path = NumberedName(base, attempt, kJournalExtension);
    // Never over an existing file: that may be the journal of a run not yet recovered.
    OwnedHandle file = OpenFile(path, GENERIC_WRITE, CREATE_NEW);
    if (!file) {
      if (NameIsTaken(GetLastError())) continue;
      return LastFailure();
    }
    file_ = std::move(file);
    path_ = path;
    const HRESULT result = WriteAll(file_.Get(), WithCrLf(text));
    if (codes::Failed(result)) Abandon();
    return result;
  }
  return FailureFromLastError(ERROR_FILE_EXISTS);
}

HRESULT RunJournal::Append(std::string_view text) {
  if (!file_) return codes::kFail;
  return WriteAll(file_.Get(), WithCrLf(text));
}

void RunJournal::Remove() {
  // Emptied first: while another program (a scanner, a backup) holds the file,
  // the delete fails, and an empty journal is no run to recover.
  if (file_ && SetFilePointer(file_.Get(), 0, nullptr, FILE_BEGIN) == 0 &&
      SetEndOfFile(file_.Get())) {
    FlushFileBuffers(file_.Get());
  }
  file_.Reset();
  if (!path_.empty()) DeleteFileA(path_.c_str());
  path_.clear();
}

void RunJournal::Abandon() {
  file_.Reset();
  path_.clear();
}

std::vector<std::string> RecoverJournals(const std::string& folder,
                                         InterruptedLineFn interruptedLine) {
  // The names first: the folder changes while they are renamed.
  std::vector<std::string> journals;
  WIN32_FIND_DATAA found{};
  const std::string pattern = folder + "*" + kJournalExtension;
  const HANDLE first = FindFirstFileA(pattern.c_str(), &found);
  const OwnedSearch search(first == INVALID_HANDLE_VALUE ? nullptr : first);
  if (search) {
    do {
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
      // Empty: its run was saved, but the journal could not be deleted then.
      if (found.nFileSizeLow == 0 && found.nFileSizeHigh == 0) {
        DeleteFileA((folder + found.cFileName).c_str());
        continue;
      }
      journals.emplace_back(found.cFileName);
    } while (FindNextFileA(search.Get(), &found));
  }

  std::vector<std::string> recovered;
  for (const std::string& name : journals) {
    const std::string base = WithoutExtension(folder + name, kJournalExtension);
    if (base.empty()) continue;  // a short name matched only by its 8.3 alias
    for (unsigned attempt = 1; attempt <= kNameAttempts; ++attempt) {
      const std::string target = NumberedName(base, attempt, kLogExtension);
      if (MoveFileA((folder + name).c_str(), target.c_str())) {
        AppendInterruptedLine(target, interruptedLine);
        recovered.push_back(target);
        break;
      }
      // Another error (the journal is locked, the folder read-only): it stays for next time.
      if (!NameIsTaken(GetLastError())) break;
    }
  }
  return recovered;
}
