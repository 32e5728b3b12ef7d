// Folders that refuse new files for a while, made through the host, and the
// test of whether one does.
#pragma once
#include <windows.h>

#include <string>

#include "tests/common/HostCommands.h"
#include "tests/common/Waiting.h"

namespace e2e {

// Whether a new file can be made in `folder` (and is removed again at once).
inline bool CanCreateIn(const std::string& folder) {
  const std::string probe = folder + "probe.tmp";
  const HANDLE file = CreateFileA(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  CloseHandle(file);
  DeleteFileA(probe.c_str());
  return true;
}

// `folder` mounted read-only over itself while this lives: nothing can be
// created there, not even by root (whom chmod does not stop). Needs root and
// the right to mount; Locked() says whether the machine allowed it.
class ReadOnlyFolder {
 public:
  explicit ReadOnlyFolder(const std::string& folder)
      : folder_(folder), path_(test_host::HostPath(folder)) {
    if (path_.empty()) return;
    // The host's shell, since Wine starts host programs but hands out no handle to wait on.
    attempted_ = test_host::StartHostCommand("/bin/sh -c \"mount --bind '" + path_ + "' '" + path_ +
                                             "' && mount -o remount,ro,bind '" + path_ + "'\"");
    locked_ = attempted_ && test_wait::WaitUntil([&] { return !CanCreateIn(folder_); }, 10000);
  }
  ~ReadOnlyFolder() {
    // Always, even when the remount failed after the bind: no mount may outlive the test.
    if (!attempted_) return;
    // Lazily: a program still running there keeps the folder busy.
    test_host::StartHostCommand("/bin/umount -l \"" + path_ + "\"");
    if (locked_) test_wait::WaitUntil([&] { return CanCreateIn(folder_); }, 10000);
  }
  ReadOnlyFolder(const ReadOnlyFolder&) = delete;
  ReadOnlyFolder& operator=(const ReadOnlyFolder&) = delete;
  bool Locked() const { return locked_; }

 private:
  std::string folder_;
  std::string path_;
  bool attempted_ = false;
  bool locked_ = false;
};

// A folder in which nothing can be created, not even by root, while it lives.
class ImmutableFolder {
 public:
  explicit ImmutableFolder(const std::string& folder)
      : folder_(folder), path_(test_host::HostPath(folder)) {
    locked_ = !path_.empty() &&
              test_host::StartHostCommand("/usr/bin/chattr +i \"" + path_ + "\"") &&
              test_wait::WaitUntil([&] { return !CanCreateIn(folder_); }, 10000);
  }
  ~ImmutableFolder() {
    if (!locked_) return;
    test_host::StartHostCommand("/usr/bin/chattr -i \"" + path_ + "\"");
    test_wait::WaitUntil([&] { return CanCreateIn(folder_); }, 10000);
  }
  ImmutableFolder(const ImmutableFolder&) = delete;
  ImmutableFolder& operator=(const ImmutableFolder&) = delete;
  bool Locked() const { return locked_; }

 private:
  std::string folder_;
  std::string path_;
  bool locked_ = false;
};

}  // namespace e2e
