// Files for the tests: a fresh folder of their own under the build tree, and
// what a file holds.
#pragma once
#include <windows.h>

#include <string>

namespace test_files {

inline std::string ParentFolder(const std::string& path) {
  const size_t slash = path.find_last_of("\\/");
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// Empties `folder` (ending in a backslash), read-only files and subfolders included.
inline void DeleteTree(const std::string& folder) {
  WIN32_FIND_DATAA entry;
  HANDLE find = FindFirstFileA((folder + "*").c_str(), &entry);
  if (find == INVALID_HANDLE_VALUE) return;
  do {
    const std::string name = entry.cFileName;
    if (name == "." || name == "..") continue;
    const std::string path = folder + name;
    if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      DeleteTree(path + "\\");
      RemoveDirectoryA(path.c_str());
    } else {
      SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
      DeleteFileA(path.c_str());
    }
  } while (FindNextFileA(find, &entry));
  FindClose(find);
}

// A fresh, empty folder `name` beside the test program's folder, ending in a backslash.
inline std::string MakeSandbox(const std::string& name) {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  const std::string root = ParentFolder(path) + "..\\test-work\\";
  CreateDirectoryA(root.c_str(), nullptr);
  const std::string folder = root + name + "\\";
  CreateDirectoryA(folder.c_str(), nullptr);
  DeleteTree(folder);
  return folder;
}

// The whole content of a file; empty when it cannot be read.
inline std::string ReadFileBytes(const std::string& path) {
  std::string bytes;
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return bytes;
  char buffer[65536];
  DWORD read = 0;
  while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0)
    bytes.append(buffer, read);
  CloseHandle(file);
  return bytes;
}

inline bool FileExists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace test_files
