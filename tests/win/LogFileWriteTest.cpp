// Writing the log to a file: the frame, appending, and every way it can fail.
#include <gtest/gtest.h>

#include <ctime>
#include <regex>

#include "tests/common/Files.h"
#include "tests/win/RunDialogHarness.h"

using run_harness::HarnessDialog;
using run_harness::RunInDialog;
using test_files::FileExists;
using test_files::MakeSandbox;
using test_files::ReadFileBytes;

namespace {
const std::regex kHeader(
    R"(Ondrel \(build: (\w{3} \w{3} [ \d]\d \d\d:\d\d:\d\d \d{4})\) log file\.\r\n--\r\n)");
}

TEST(LogFileWrite, ANewFileGetsTheHeaderTheNoteAndTheLogWithCrLf) {
  const std::string path = MakeSandbox("LogFileWrite.New") + "log.txt";
  RunInDialog([&](HarnessDialog& d) {
    d.SetLog("started: x\n12:00:00, 2399.87 MHz, (1.0%)\nstopped: y\n");
    d.checkCpuLoad = 1;
    d.useIdleThread = 1;
    EXPECT_EQ(S_OK, d.WriteLogFile(path));
    const std::string first = ReadFileBytes(path);
    std::smatch header;
    ASSERT_TRUE(std::regex_search(first, header, kHeader)) << first;
    EXPECT_EQ(0, header.position(0));
    EXPECT_EQ(24u, header[1].length());
    const std::string block =
        "Idle thread method is used.\r\nstarted: x\r\n12:00:00, 2399.87 MHz, (1.0%)\r\nstopped: "
        "y\r\n";
    EXPECT_EQ(header.str(0) + block, first);

    // A second save appends without a header; without the idle thread no note.
    d.useIdleThread = 0;
    EXPECT_EQ(S_OK, d.WriteLogFile(path));
    EXPECT_EQ(first + "started: x\r\n12:00:00, 2399.87 MHz, (1.0%)\r\nstopped: y\r\n",
              ReadFileBytes(path));
    d.checkCpuLoad = 0;
    d.useIdleThread = 1;
    d.SetLog("");
    EXPECT_EQ(S_OK, d.WriteLogFile(path));
    EXPECT_EQ(first + "started: x\r\n12:00:00, 2399.87 MHz, (1.0%)\r\nstopped: y\r\n",
              ReadFileBytes(path));
  });
}

TEST(LogFileWrite, AnEmptyLogGivesOnlyTheHeader) {
  const std::string path = MakeSandbox("LogFileWrite.Empty") + "log.txt";
  RunInDialog([&](HarnessDialog& d) {
    EXPECT_EQ(S_OK, d.WriteLogFile(path));
    const std::string bytes = ReadFileBytes(path);
    EXPECT_TRUE(std::regex_match(bytes, kHeader)) << bytes;
  });
}

TEST(LogFileWrite, CoolBitsForbidsEveryFile) {
  const std::string path = MakeSandbox("LogFileWrite.CoolBits") + "log.txt";
  RunInDialog([&](HarnessDialog& d) {
    d.coolBits = coolbits::kNoLogFile;
    d.SetLog("line\n");
    EXPECT_EQ(S_FALSE, d.WriteLogFile(path));
    EXPECT_FALSE(FileExists(path));
  });
}

TEST(LogFileWrite, AFileThatCannotBeOpenedFailsWithEFail) {
  const std::string folder = MakeSandbox("LogFileWrite.Missing");
  RunInDialog([&](HarnessDialog& d) {
    d.SetLog("line\n");
    EXPECT_EQ(E_FAIL, d.WriteLogFile(folder + "no such folder\\log.txt"));
    EXPECT_EQ(E_FAIL, d.WriteLogFile(""));
    EXPECT_EQ("line\n", d.Log());
  });
}

TEST(LogFileWrite, AFullDeviceIsAFailure) {
  // Wine shows the host's always-full device under drive Z:.
  const std::string device = "Z:\\dev\\full";
  const HANDLE probe =
      CreateFileA(device.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                  OPEN_EXISTING, 0, nullptr);
  if (probe == INVALID_HANDLE_VALUE) GTEST_SKIP() << "no full device: " << GetLastError();
  CloseHandle(probe);
  RunInDialog([&](HarnessDialog& d) {
    d.SetLog("line\n");
    const HRESULT result = d.WriteLogFile(device);
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_DISK_FULL), result);
    EXPECT_EQ("line\n", d.Log());
  });
}

TEST(LogFileWrite, ALongLogIsSavedDownToItsLastCharacter) {
  const std::string path = MakeSandbox("LogFileWrite.Long") + "log.txt";
  RunInDialog([&](HarnessDialog& d) {
    std::string text;
    for (int i = 0; i < 60000; ++i)
      text += "12:00:00, 2399.87 MHz, (" + std::to_string(i) + " K)\n";
    text += "stopped: last";
    d.SetLog(text.c_str());
    ASSERT_EQ(text, d.Log());
    EXPECT_EQ(S_OK, d.WriteLogFile(path));
    const std::string bytes = ReadFileBytes(path);
    std::string expected;
    for (char c : text) expected += c == '\n' ? std::string("\r\n") : std::string(1, c);
    std::smatch header;
    ASSERT_TRUE(std::regex_search(bytes, header, kHeader));
    EXPECT_EQ(header.length(0) + expected.size(), bytes.size());
    EXPECT_TRUE(bytes.compare(header.length(0), std::string::npos, expected) == 0);
  });
}

TEST(LogFileName, IsTheExecutablesFolderAndTheTimeOfSaving) {
  RunInDialog([](HarnessDialog& d) {
    char exe[MAX_PATH];
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    std::string folder(exe);
    folder.resize(folder.rfind('\\') + 1);
    SYSTEMTIME before;
    GetLocalTime(&before);
    const std::string name = d.MakeLogFileName();
    ASSERT_EQ(folder, name.substr(0, folder.size()));
    const std::string base = name.substr(folder.size());
    std::smatch parts;
    ASSERT_TRUE(
        std::regex_match(base, parts, std::regex(R"(log_(\d{4})(\d\d)(\d\d)_(\d\d)(\d\d)(\d\d))")))
        << base;
    EXPECT_EQ(before.wYear, std::stoi(parts[1]));
    EXPECT_EQ(before.wMonth, std::stoi(parts[2]));
    const int seconds = std::stoi(parts[4]) * 3600 + std::stoi(parts[5]) * 60 + std::stoi(parts[6]);
    const int expected = before.wHour * 3600 + before.wMinute * 60 + before.wSecond;
    EXPECT_LE((seconds - expected + 86400) % 86400, 2);
  });
}
