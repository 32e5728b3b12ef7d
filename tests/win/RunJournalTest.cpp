// A journal left by a run that never reached Stop, one that another program
// held when its run was saved, one on a full disk, load figures that come from
// the service the run started, and the dialog's own icons.
#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "monitor/RunJournal.h"
#include "tests/common/Files.h"
#include "tests/common/HostCommands.h"
#include "tests/common/TextLines.h"
#include "tests/common/Waiting.h"
#include "tests/win/MessageBoxWatcher.h"
#include "tests/win/RunDialogHarness.h"

using run_harness::HarnessDialog;
using run_harness::RunInDialog;
using test_host::HostPath;
using test_host::StartHostCommand;
using test_text::SplitLines;
using test_wait::WaitUntil;

namespace {
std::string ExeFolder() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder(path);
  return folder.substr(0, folder.rfind('\\') + 1);
}

void WriteBytes(const std::string& path, const std::string& bytes) {
  const HANDLE file =
      CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
}

ULONGLONG VolumeBytes(const std::string& folder) {
  ULARGE_INTEGER total{};
  return GetDiskFreeSpaceExA(folder.c_str(), nullptr, &total, nullptr) ? total.QuadPart : 0;
}

// A file system of a few blocks mounted on `folder` while it lives; only root
// can mount one, elsewhere it stays unmounted.
class SmallDisk {
 public:
  static constexpr ULONGLONG kBytes = 64 * 1024;

  explicit SmallDisk(const std::string& folder) : folder_(folder), path_(HostPath(folder)) {
    mounted_ =
        !path_.empty() &&
        StartHostCommand("/usr/bin/mount -t tmpfs -o size=64k sentel-test \"" + path_ + "\"") &&
        WaitUntil([&] { return VolumeBytes(folder_) <= kBytes; }, 5000);
  }
  ~SmallDisk() {
    if (!mounted_) return;
    StartHostCommand("/usr/bin/umount -l \"" + path_ + "\"");
    WaitUntil([&] { return VolumeBytes(folder_) > kBytes; }, 10000);
  }
  SmallDisk(const SmallDisk&) = delete;
  SmallDisk& operator=(const SmallDisk&) = delete;
  bool Mounted() const { return mounted_; }
  const std::string& Folder() const { return folder_; }

 private:
  std::string folder_;
  std::string path_;
  bool mounted_ = false;
};

// Writes `path` until the disk holding it has no block left.
void FillUp(const std::string& path) {
  const HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
  const std::string block(4096, '0');
  DWORD written = 0;
  while (WriteFile(file, block.data(), static_cast<DWORD>(block.size()), &written, nullptr) &&
         written > 0) {
  }
  CloseHandle(file);
}

// A counting loop on one core for as long as it lives.
class BusyCore {
 public:
  BusyCore() : thread_(CreateThread(nullptr, 0, &Spin, const_cast<LONG*>(&stop_), 0, nullptr)) {}
  ~BusyCore() {
    stop_ = 1;
    WaitForSingleObject(thread_, INFINITE);
    CloseHandle(thread_);
  }
  BusyCore(const BusyCore&) = delete;
  BusyCore& operator=(const BusyCore&) = delete;

 private:
  static DWORD WINAPI Spin(LPVOID stop) {
    while (!*static_cast<volatile LONG*>(stop)) {
    }
    return 0;
  }
  volatile LONG stop_ = 0;
  HANDLE thread_;
};

// The load pieces of the sample lines, in order; -1 for a line without one.
std::vector<double> LoadFigures(const std::string& log) {
  std::vector<double> figures;
  const std::regex load(R"(, \((\d+\.\d)%\))");
  for (const std::string& line : SplitLines(log)) {
    if (line.find(" MHz") == std::string::npos) continue;
    std::smatch piece;
    figures.push_back(std::regex_search(line, piece, load) ? std::stod(piece[1]) : -1.0);
  }
  return figures;
}
}  // namespace

TEST(RunJournal, ALeftJournalBecomesANumberedLogThatSaysHowTheRunEnded) {
  const std::string base = ExeFolder() + "log_20260102_030405";
  const std::string taken = "earlier\r\n";
  // The last line was cut by the end of the process.
  const std::string journal =
      "header\r\n--\r\nstarted: 01/02/26, 03:04:05 (HPC is used)\r\n12:00:0";
  WriteBytes(base + ".txt", taken);
  WriteBytes(base + ".journal", journal);
  RunInDialog([&](const HarnessDialog& d) {
    EXPECT_EQ("A run that ended without Stop was saved as " + base + "-2.txt\n", d.Log());
  });
  const std::string bytes = test_files::ReadFileBytes(base + "-2.txt");
  EXPECT_FALSE(test_files::FileExists(base + ".journal"));
  EXPECT_EQ(taken, test_files::ReadFileBytes(base + ".txt"));
  ASSERT_EQ(0u, bytes.find(journal + "\r\n")) << bytes;
  EXPECT_TRUE(std::regex_match(
      bytes.substr(journal.size() + 2),
      std::regex(
          R"(interrupted: \d\d/\d\d/\d\d, \d\d:\d\d:\d\d \(the run ended without Stop\)\r\n)")))
      << bytes;
  DeleteFileA((base + ".txt").c_str());
  DeleteFileA((base + "-2.txt").c_str());
}

TEST(RunJournal, OnAFullDiskTheAppendFailsAndWhatWasWrittenStays) {
  const SmallDisk disk(test_files::MakeSandbox("RunJournal.FullDisk"));
  if (!disk.Mounted()) GTEST_SKIP() << "no small disk: mounting one takes root";
  const std::string base = disk.Folder() + "log_20260102_030405";
  {
    RunJournal journal;
    ASSERT_EQ(S_OK, journal.Create(base, "header\nstarted\n"));
    FillUp(disk.Folder() + "filler");
    // More than the journal's last block has room for.
    const std::string line(3 * 4096, '1');
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_DISK_FULL), journal.Append(line + "\n"));
    journal.Abandon();
  }
  EXPECT_EQ(0u, test_files::ReadFileBytes(base + ".journal").find("header\r\nstarted\r\n"));
  DeleteFileA((base + ".journal").c_str());
  DeleteFileA((disk.Folder() + "filler").c_str());
}

TEST(RunJournal, AJournalHeldOpenWhenItsRunIsSavedIsNoRunToRecover) {
  const std::string folder = test_files::MakeSandbox("RunJournal.HeldOpen");
  const std::string base = folder + "log_20260102_030405";
  RunJournal journal;
  ASSERT_EQ(S_OK, journal.Create(base, "header\nstarted\n"));
  ASSERT_EQ(S_OK, journal.Append("stopped\n"));
  // A reader that does not share deletion, as a scanner of new files may be.
  const HANDLE reader =
      CreateFileA((base + ".journal").c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                  nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, reader);
  journal.Remove();
  CloseHandle(reader);
  const auto recovered =
      RecoverJournals(folder, [](const SYSTEMTIME&) { return std::string("interrupted\n"); });
  EXPECT_TRUE(recovered.empty()) << recovered.front();
  EXPECT_FALSE(test_files::FileExists(base + ".journal"));
}

struct MethodSwitch {
  friend void PrintTo(const MethodSwitch& row, std::ostream* out) { *out << row.name; }

  const char* name;
  bool loadAtStart;
  bool idleAtStart;
  bool loadAfter;
  bool idleAfter;
};

class RunLoadMethod : public testing::TestWithParam<MethodSwitch> {};

// Whatever the boxes say during a run, its figures come from the service it started.
TEST_P(RunLoadMethod, FiguresComeFromTheServiceTheRunStarted) {
  const MethodSwitch row = GetParam();
  const BusyCore busy;
  MessageBoxWatcher boxes;
  RunInDialog([&](HarnessDialog& d) {
    d.tscHz = 30000000;  // a full-speed count of a fifth of a second
    d.SetCheck(IDC_CHECK_CPU_LOAD, row.loadAtStart);
    d.SetCheck(IDC_USE_IDLE_THREAD, row.idleAtStart);
    d.OnStartStop();
    d.SetCheck(IDC_CHECK_CPU_LOAD, row.loadAfter);
    d.SetCheck(IDC_USE_IDLE_THREAD, row.idleAfter);
    d.OnSaveOnStop();  // takes the settings back during the run
    for (int tick = 0; tick < 4; ++tick) {
      const DWORD begin = GetTickCount();
      // A measuring interval, not a wait for anything.
      while (GetTickCount() - begin < 300) Sleep(10);
      d.OnSampleTimer();
    }
    d.OnStartStop();
    const std::vector<double> figures = LoadFigures(d.Log());
    ASSERT_EQ(4u, figures.size()) << d.Log();
    // The native query's first reading has nothing to compare with.
    for (size_t i = 1; i < figures.size(); ++i) {
      if (!row.loadAtStart) {
        EXPECT_EQ(-1.0, figures[i]) << "no service, no figure";
        continue;
      }
      EXPECT_LE(figures[i], 100.0);
      // The idle thread has the other core to itself and may read 0.0; the
      // native query sees the busy one.
      if (!row.idleAtStart) {
        EXPECT_GT(figures[i], 0.0) << "one core is busy";
      }
    }
  });
  EXPECT_TRUE(boxes.Boxes().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Switches, RunLoadMethod,
    testing::Values(MethodSwitch{"NativeThenIdleThread", true, false, true, true},
                    MethodSwitch{"IdleThreadThenNative", true, true, true, false},
                    MethodSwitch{"LoadTickedDuringTheRun", false, false, true, false}),
    [](const testing::TestParamInfo<MethodSwitch>& row) { return row.param.name; });

TEST(DialogIcons, GoWithTheDialogObject) {
  HICON big = nullptr;
  HICON small = nullptr;
  RunInDialog([&](HarnessDialog& d) {
    big = reinterpret_cast<HICON>(SendMessageA(d.Window(), WM_GETICON, ICON_BIG, 0));
    small = reinterpret_cast<HICON>(SendMessageA(d.Window(), WM_GETICON, ICON_SMALL, 0));
  });
  ICONINFO info{};
  ASSERT_NE(nullptr, big);
  EXPECT_FALSE(GetIconInfo(big, &info));
  EXPECT_FALSE(GetIconInfo(small, &info));
}
