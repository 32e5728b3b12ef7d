#include "tests/e2e/Driver.h"

#include "res/resource.h"

namespace e2e {
namespace {
constexpr char kSettingsKey[] = "Software\\Brevane\\Sentel";
constexpr char kAppDefaultsKey[] = "Software\\Wine\\AppDefaults\\sentel.exe";
}  // namespace

std::string BuildFolder() {
  // The release check points the tests at an unpacked download instead.
  char path[MAX_PATH] = {};
  const DWORD given = GetEnvironmentVariableA("SENTEL_PROGRAM_FOLDER", path, MAX_PATH);
  if (given > 0 && given < MAX_PATH) {
    std::string folder(path, given);
    if (folder.back() != '\\') folder += '\\';
    return folder;
  }
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  return test_files::ParentFolder(path);
}

void CopyInto(const std::string& folder, const char* builtFile, const char* asName) {
  const std::string from = BuildFolder() + builtFile;
  const std::string to = folder + (asName != nullptr ? asName : builtFile);
  CopyFileA(from.c_str(), to.c_str(), FALSE);
}

std::vector<std::string> ListFiles(const std::string& folder, const char* pattern) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA entry;
  HANDLE find = FindFirstFileA((folder + pattern).c_str(), &entry);
  if (find == INVALID_HANDLE_VALUE) return names;
  do {
    if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(entry.cFileName);
  } while (FindNextFileA(find, &entry));
  FindClose(find);
  return names;
}

std::string ProgramString(UINT id, const char* module) {
  const std::string path = BuildFolder() + module;
  HMODULE image = LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (image == nullptr) return {};
  char text[4096];
  const int length = LoadStringA(image, id, text, sizeof text);
  FreeLibrary(image);
  return std::string(text, length > 0 ? static_cast<size_t>(length) : 0);
}

std::string WindowText(HWND window) {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutA(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length)) {
    return {};
  }
  std::string text(length + 1, '\0');
  DWORD_PTR copied = 0;
  SendMessageTimeoutA(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                      SMTO_ABORTIFHUNG, 5000, &copied);
  text.resize(copied);
  return text;
}

std::string ControlText(HWND dialog, int id) { return WindowText(GetDlgItem(dialog, id)); }

bool IsChecked(HWND dialog, int id) {
  DWORD_PTR state = 0;
  SendMessageTimeoutA(GetDlgItem(dialog, id), BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 5000, &state);
  return state == BST_CHECKED;
}

void Settings::DeleteKey() { RegDeleteKeyA(HKEY_CURRENT_USER, kSettingsKey); }

void Settings::CreateKey() {
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                      nullptr) == ERROR_SUCCESS) {
    RegCloseKey(key);
  }
}

bool Settings::KeyExists() {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_READ, &key) != ERROR_SUCCESS) {
    return false;
  }
  RegCloseKey(key);
  return true;
}

void Settings::SetRaw(const char* name, DWORD type, const void* data, DWORD size) {
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                      nullptr) != ERROR_SUCCESS) {
    return;
  }
  RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size);
  RegCloseKey(key);
}

void Settings::SetDword(const char* name, uint32_t value) {
  SetRaw(name, REG_DWORD, &value, sizeof value);
}

void Settings::SetString(const char* name, const char* value) {
  SetRaw(name, REG_SZ, value, static_cast<DWORD>(strlen(value) + 1));
}

std::optional<uint32_t> Settings::ReadDword(const char* name) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_READ, &key) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  uint32_t value = 0;
  DWORD size = sizeof value;
  DWORD type = 0;
  const LONG status =
      RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
  RegCloseKey(key);
  if (status != ERROR_SUCCESS || type != REG_DWORD) return std::nullopt;
  return value;
}

std::vector<std::string> Settings::ValueNames() {
  std::vector<std::string> names;
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_READ, &key) != ERROR_SUCCESS) {
    return names;
  }
  char name[256];
  for (DWORD index = 0;; ++index) {
    DWORD length = sizeof name;
    if (RegEnumValueA(key, index, name, &length, nullptr, nullptr, nullptr, nullptr) !=
        ERROR_SUCCESS) {
      break;
    }
    names.emplace_back(name, length);
  }
  RegCloseKey(key);
  return names;
}

void Settings::UseQuickCalibration() {
  SetDword("Divisor", 1000000);
  SetDword("MMDelay", 50);
}

void SetWineVersion(const char* version) {
  if (version == nullptr || *version == '\0') {
    RegDeleteKeyA(HKEY_CURRENT_USER, kAppDefaultsKey);
    return;
  }
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, kAppDefaultsKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                      &key, nullptr) != ERROR_SUCCESS) {
    return;
  }
  RegSetValueExA(key, "Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(version),
                 static_cast<DWORD>(strlen(version) + 1));
  RegCloseKey(key);
}

Program::~Program() {
  if (info_.hProcess != nullptr) {
    if (IsRunning()) {
      TerminateProcess(info_.hProcess, 99);
      WaitForSingleObject(info_.hProcess, 10000);
    }
    CloseHandle(info_.hProcess);
    CloseHandle(info_.hThread);
  }
}

bool Program::Launch(const std::string& folder, const std::string& workingFolder) {
  std::string commandLine = "\"" + folder + "sentel.exe\"";
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  const std::string& current = workingFolder.empty() ? folder : workingFolder;
  return CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        current.c_str(), &startup, &info_) != FALSE;
}

namespace {
struct WindowSearch {
  DWORD processId;
  const char* className;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<WindowSearch*>(param);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  char name[64] = {};
  GetClassNameA(window, name, sizeof name);
  if (owner == search->processId &&
      (search->className == nullptr || strcmp(name, search->className) == 0)) {
    search->found.push_back(window);
  }
  return TRUE;
}
}  // namespace

std::vector<HWND> Program::TopLevelWindows(const char* className) const {
  WindowSearch search{info_.dwProcessId, className, {}};
  EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND Program::WaitForDialog(DWORD timeoutMs) {
  WaitUntil(
      [this] {
        for (HWND window : TopLevelWindows()) {
          // Initialised: visible, and the edits show the settings.
          if (GetDlgItem(window, IDC_START_STOP) != nullptr && IsWindowVisible(window) &&
              !ControlText(window, IDC_CHECK_PERIOD).empty()) {
            dialog_ = window;
            return true;
          }
        }
        return !IsRunning();
      },
      timeoutMs);
  return dialog_;
}

std::optional<MessageBoxInfo> Program::WaitForMessageBox(DWORD timeoutMs) {
  MessageBoxInfo box;
  const bool found = WaitUntil(
      [&] {
        for (HWND window : TopLevelWindows()) {
          if (window == dialog_ || GetDlgItem(window, IDC_START_STOP) != nullptr) continue;
          if (!IsWindowVisible(window)) continue;
          // A file dialog carries statics too; its file-name combo (0x47C) tells it apart.
          if (GetDlgItem(window, 0x47C) != nullptr) continue;
          // The message text is the static control 0xFFFF (100 in some versions).
          HWND text = GetDlgItem(window, 0xFFFF);
          if (text == nullptr) text = GetDlgItem(window, 100);
          if (text == nullptr) continue;
          box.window = window;
          box.caption = WindowText(window);
          box.text = WindowText(text);
          return true;
        }
        return false;
      },
      timeoutMs);
  if (!found) return std::nullopt;
  return box;
}

std::optional<DWORD> Program::WaitForExit(DWORD timeoutMs) {
  if (info_.hProcess == nullptr) return std::nullopt;
  if (WaitForSingleObject(info_.hProcess, timeoutMs) != WAIT_OBJECT_0) return std::nullopt;
  DWORD code = 0;
  GetExitCodeProcess(info_.hProcess, &code);
  return code;
}

bool Program::IsRunning() const {
  return info_.hProcess != nullptr && WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT;
}

void Click(HWND dialog, int id) { PostMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

}  // namespace e2e
