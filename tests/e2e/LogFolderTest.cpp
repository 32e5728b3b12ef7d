// Where the logs go when the program's folder takes no new file: Tervo in the
// user's Documents, named in the log as the dialog opens; and nothing of that
// where the folder is writable.
#include <gtest/gtest.h>

#include <string>

#include "app/portable/FormatText.h"
#include "tests/e2e/FolderLocks.h"
#include "tests/e2e/Fixture.h"
#include "tests/e2e/RunHelpers.h"

using namespace e2e;
using namespace e2e::runs;

namespace {
// Documents as the shell names it to this user, with its backslash; asked
// by name, as the driver links no shell library.
std::string DocumentsFolder() {
  using GetFolderPathFn = HRESULT(WINAPI*)(HWND, int, HANDLE, DWORD, LPSTR);
  const HMODULE shell = LoadLibraryA("shell32.dll");
  const auto getFolderPath = reinterpret_cast<GetFolderPathFn>(
      reinterpret_cast<void (*)()>(GetProcAddress(shell, "SHGetFolderPathA")));
  char path[MAX_PATH] = {};
  const bool found = getFolderPath != nullptr && getFolderPath(nullptr, 5, nullptr, 0, path) == 0;
  FreeLibrary(shell);
  return found ? std::string(path) + "\\" : std::string();
}

// The program's Tervo folder in Documents, gone before and after each test.
class DocumentsTervo {
 public:
  DocumentsTervo() : folder_(DocumentsFolder() + "Tervo\\") { Remove(); }
  ~DocumentsTervo() { Remove(); }
  DocumentsTervo(const DocumentsTervo&) = delete;
  DocumentsTervo& operator=(const DocumentsTervo&) = delete;
  const std::string& Path() const { return folder_; }
  bool Exists() const { return GetFileAttributesA(folder_.c_str()) != INVALID_FILE_ATTRIBUTES; }

 private:
  void Remove() {
    test_files::DeleteTree(folder_);
    RemoveDirectoryA(folder_.c_str());
  }
  std::string folder_;
};

// Presses Save on the name the Save As dialog proposes and returns the file
// that names in `expectedFolder`, or nothing. Save on Stop may have taken the
// name within the same second: replacing it then appends.
std::string SaveAsProposed(Program& program, HWND dialog, const std::string& expectedFolder) {
  const HWND saveAs = OpenSaveAsUnticked(program, dialog);
  if (saveAs == nullptr) return {};
  const std::string proposed = WindowText(FileNameBox(saveAs));
  PostMessageA(GetDlgItem(saveAs, IDOK), BM_CLICK, 0, 0);
  const bool closed = WaitUntil(
      [&] {
        if (const auto prompt = program.WaitForMessageBox(0)) CloseMessageBox(prompt->window);
        return FindSaveAsDialog(program) == nullptr;
      },
      10000);
  if (!closed) return {};
  return expectedFolder + proposed.substr(proposed.find_last_of('\\') + 1) + ".txt";
}

bool EndsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

bool RunAndStop(HWND dialog) {
  Click(dialog, IDC_START_STOP);
  if (!WaitForLogLines(dialog, 3, 15000)) return false;
  PostCommand(dialog, IDC_START_STOP);
  return WaitForCaption(dialog, "Start");
}
}  // namespace

TEST_F(E2e, AReadOnlyProgramFolderKeepsEveryLogInDocuments) {
  const DocumentsTervo documents;
  ASSERT_NE("Tervo\\", documents.Path()) << "the shell names no Documents folder";
  PrepareQuickRun(false);
  Settings::SetDword("CoolBits", 0x01);  // stays visible
  const ReadOnlyFolder locked(folder);
  if (!locked.Locked()) GTEST_SKIP() << "this machine cannot mount " << folder << " read-only";

  HWND dialog = Start();
  ASSERT_NE(nullptr, dialog);
  const std::string noteLine =
      FormatText(ProgramString(IDS_LOG_FOLDER_FORMAT).c_str(),
                 documents.Path().substr(0, documents.Path().size() - 1).c_str());
  EXPECT_EQ(noteLine, LogText(dialog));
  // A run killed with its journal there...
  Click(dialog, IDC_START_STOP);
  ASSERT_TRUE(
      WaitUntil([&] { return ListFiles(documents.Path(), "*.journal").size() == 1; }, 15000))
      << LogText(dialog);
  ASSERT_TRUE(WaitForLogLines(dialog, 4, 15000));
  Kill(program);
  ASSERT_TRUE(program.WaitForExit().has_value());

  // ...is recovered there at the next start, below the line that names the folder.
  Program next;
  ASSERT_TRUE(next.Launch(folder));
  dialog = next.WaitForDialog();
  ASSERT_NE(nullptr, dialog);
  auto logs = ListFiles(documents.Path(), "log_*.txt");
  ASSERT_EQ(1u, logs.size());
  EXPECT_TRUE(ListFiles(documents.Path(), "*.journal").empty());
  const std::string recovered =
      FormatText(ProgramString(IDS_RECOVERED_FORMAT).c_str(), (documents.Path() + logs[0]).c_str());
  EXPECT_EQ(noteLine + recovered, LogText(dialog));

  // Save on Stop and Save As land there too, with no box.
  ASSERT_TRUE(RunAndStop(dialog));
  EXPECT_EQ(2u, ListFiles(documents.Path(), "log_*.txt").size());
  const std::string saved = SaveAsProposed(next, dialog, documents.Path());
  ASSERT_FALSE(saved.empty());
  EXPECT_TRUE(EndsWith(ReadFileBytes(saved), WithCrLf(LogText(dialog)))) << saved;
  EXPECT_EQ(0u, OpenMessageBoxes(next));
  EXPECT_EQ(1u, ListFiles(folder, "*").size()) << "only the program itself";
  Click(dialog, IDC_EXIT);
  EXPECT_EQ(1008u, next.WaitForExit());
}

TEST_F(E2e, AWritableProgramFolderKeepsEveryLogBesideTheProgram) {
  const DocumentsTervo documents;
  PrepareQuickRun(false);
  HWND dialog = Start();
  ASSERT_NE(nullptr, dialog);
  EXPECT_EQ("", LogText(dialog));
  ASSERT_TRUE(RunAndStop(dialog));
  const std::string saved = SaveAsProposed(program, dialog, folder);
  ASSERT_FALSE(saved.empty());
  EXPECT_TRUE(EndsWith(ReadFileBytes(saved), WithCrLf(LogText(dialog)))) << saved;
  EXPECT_EQ(1u + ListFiles(folder, "log_*.txt").size(), ListFiles(folder, "*").size());
  EXPECT_FALSE(documents.Exists());
  Click(dialog, IDC_EXIT);
  EXPECT_EQ(1008u, program.WaitForExit());
}

TEST_F(E2e, WithDocumentsReadOnlyTooEveryFailureIsReportedAsBefore) {
  const DocumentsTervo documents;
  ASSERT_TRUE(CreateDirectoryA(documents.Path().c_str(), nullptr));
  PrepareQuickRun(false);
  Settings::SetDword("CoolBits", 0x01);  // stays visible
  const ReadOnlyFolder lockedProgram(folder);
  const ReadOnlyFolder lockedDocuments(documents.Path());
  if (!lockedProgram.Locked() || !lockedDocuments.Locked()) {
    GTEST_SKIP() << "this machine cannot mount folders read-only";
  }
  HWND dialog = Start();
  ASSERT_NE(nullptr, dialog);
  Click(dialog, IDC_START_STOP);
  const auto journalBox = program.WaitForMessageBox(10000);
  ASSERT_TRUE(journalBox.has_value());
  EXPECT_EQ(0u, journalBox->text.find("Save log failed.\nError code=8007")) << journalBox->text;
  CloseMessageBox(journalBox->window);
  ASSERT_TRUE(WaitForLogLines(dialog, 3, 15000));
  PostCommand(dialog, IDC_START_STOP);
  const auto saveBox = program.WaitForMessageBox(10000);
  ASSERT_TRUE(saveBox.has_value());
  EXPECT_EQ("Save log failed.\nError code=80004005\n", saveBox->text);
  CloseMessageBox(saveBox->window);
  ASSERT_TRUE(WaitForCaption(dialog, "Start"));
  EXPECT_TRUE(ListFiles(documents.Path(), "*").empty());
}
