// Saving the log: the generated file name, the file's frame, and Save As.
#include <windows.h>
// after windows.h
#include <commdlg.h>

#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <io.h>
#include <string>
#include <string_view>

#include "BuildStamp.h"
#include "app/MessageBoxes.h"
#include "app/ResourceStrings.h"
#include "app/WindowsVersion.h"
#include "app/portable/ErrorCodes.h"
#include "monitor/LocalClock.h"
#include "monitor/MonitorDialog.h"
#include "monitor/portable/LogFileName.h"
#include "res/resource.h"

namespace {
constexpr char kFilter[] = "plain text files (*.txt)\0*.txt\0All files (*.*)\0*.*\0";
constexpr char kDefaultExtension[] = "txt";
constexpr DWORD kSaveFlags =
    OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_ENABLEHOOK | OFN_EXPLORER | OFN_ENABLESIZING;
static_assert(kSaveFlags == 0x00880026, "Save As flags");
// Older systems know the structure only without its trailing members.
constexpr DWORD kOlderRequestSize = offsetof(OPENFILENAMEA, pvReserved);
#ifndef _WIN64
static_assert(sizeof(OPENFILENAMEA) == 88, "full OPENFILENAME");
static_assert(kOlderRequestSize == 76, "OPENFILENAME of older systems");
#endif

// The explorer-style dialog wants a hook procedure; this one adds nothing.
UINT_PTR CALLBACK SaveDialogHook(HWND, UINT, WPARAM, LPARAM) { return 0; }

// A file opened for appending in text mode, which remembers whether every write
// reached it.
class AppendedTextFile {
 public:
  explicit AppendedTextFile(const std::string& path) : file_(std::fopen(path.c_str(), "at")) {}
  ~AppendedTextFile() { Close(); }
  AppendedTextFile(const AppendedTextFile&) = delete;
  AppendedTextFile& operator=(const AppendedTextFile&) = delete;

  bool IsOpen() const { return file_ != nullptr; }
  bool IsEmpty() { return std::fseek(file_, 0, SEEK_END) == 0 && std::ftell(file_) == 0; }
  void Write(std::string_view text) {
    if (text.empty()) return;
    if (std::fwrite(text.data(), 1, text.size(), file_) != text.size()) NoteFailure();
  }
  // S_OK, or the failure of the first write or of the close that went wrong.
  HRESULT Close() {
    if (file_ != nullptr) {
      // Flushed first: not every runtime reports a failed flush from fclose.
      if (std::fflush(file_) != 0 || std::ferror(file_)) NoteFailure();
      // On the disk before the run's journal is deleted, not in a cache that a
      // power cut empties. The data has reached the system either way, so a
      // device that cannot commit does not fail the save.
      static_cast<void>(_commit(_fileno(file_)));
      if (std::fclose(file_) != 0) NoteFailure();
      file_ = nullptr;
    }
    return result_;
  }

 private:
  void NoteFailure() {
    if (result_ != S_OK) return;
    result_ = errno == ENOSPC ? codes::FromWin32(ERROR_DISK_FULL) : codes::kFail;
  }

  FILE* file_;
  HRESULT result_ = S_OK;
};
}  // namespace

std::string MonitorDialog::MakeLogFileName() {
  return logFolder.ForNewFile() +
         LogFileBaseName(LoadFormatString(IDS_LOG_NAME_FORMAT), ReadLocalTime());
}

void MonitorDialog::ChooseLogFolder() {
  logFolder.Choose(!(coolBits & coolbits::kNoLogFile));
  const std::string elsewhere = logFolder.Elsewhere();
  if (elsewhere.empty()) return;
  AppendLogText(
      FormatText(LoadFormatString(IDS_LOG_FOLDER_FORMAT).c_str(), elsewhere.c_str()).c_str());
}

std::string MonitorDialog::LogFileHead(bool withHeader) const {
  std::string head;
  if (withHeader) {
    head = FormatText(LoadFormatString(IDS_LOG_HEADER_FORMAT).c_str(), SENTEL_BUILD_STAMP);
  }
  if (checkCpuLoad && useIdleThread) head += LoadResourceString(IDS_IDLE_THREAD_NOTE);
  return head;
}

HRESULT MonitorDialog::WriteLogFile(const std::string& path) {
  if (coolBits & coolbits::kNoLogFile) return codes::kFalse;
  AppendedTextFile file(path);
  if (!file.IsOpen()) return codes::kFail;
  file.Write(LogFileHead(file.IsEmpty()));
  // Straight from the run's text, which the log edit shows only the end of.
  runText.ForEachPiece([&file](std::string_view piece) { file.Write(piece); });
  // A full disk often shows only when the buffer is flushed at the close.
  return file.Close();
}

LRESULT MonitorDialog::OnSaveLog() {
  const std::string proposed = lastSavePath.empty() ? MakeLogFileName() : lastSavePath;
  char file[MAX_PATH] = {};
  proposed.copy(file, MAX_PATH - 1);
  char fileTitle[256] = {};

  OPENFILENAMEA request{};
  // The trailing members are documented for Windows 2000 and later only; the
  // 95 family, Me included, may refuse the longer form (CDERR_STRUCTSIZE), and
  // every Windows takes the older one.
  request.lStructSize = IsNtFamily() && !IsObsoleteOs() ? sizeof request : kOlderRequestSize;
  request.hwndOwner = Window();
  request.lpstrFilter = kFilter;
  request.nFilterIndex = 0;
  request.lpstrFile = file;
  request.nMaxFile = MAX_PATH;
  request.lpstrFileTitle = fileTitle;
  request.nMaxFileTitle = sizeof fileTitle;
  request.lpstrDefExt = kDefaultExtension;
  request.Flags = kSaveFlags;
  request.lpfnHook = SaveDialogHook;
  if (!GetSaveFileNameA(&request)) return 0;

  const HRESULT result = WriteLogFile(file);
  if (FAILED(result)) {
    ReportErrorCode(MAKEINTRESOURCEA(IDS_MSG_SAVE_LOG_FAILED), result);
    return 0;
  }
  lastSavePath = file;
  return 0;
}
