// Runs the report tool the way a user would, on files the real monitor wrote.
#pragma once
#include <windows.h>

#include <string>

#include "tests/e2e/Driver.h"

namespace e2e {

struct ReportResult {
  DWORD exitCode = 0xFFFFFFFF;
  std::string output;  // standard output and standard error
};

// Starts sentel-report.exe in `folder` with `arguments` and waits for it.
inline ReportResult RunReport(const std::string& folder, const std::string& arguments) {
  ReportResult result;
  const std::string outputPath = folder + "report-output.txt";
  SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
  HANDLE output = CreateFileA(outputPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherited,
                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (output == INVALID_HANDLE_VALUE) return result;
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = output;
  startup.hStdError = output;
  const std::string program = folder + "sentel-report.exe";
  std::string commandLine = "\"" + program + "\" " + arguments;
  PROCESS_INFORMATION process{};
  if (CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                     folder.c_str(), &startup, &process)) {
    if (WaitForSingleObject(process.hProcess, 60000) == WAIT_OBJECT_0) {
      GetExitCodeProcess(process.hProcess, &result.exitCode);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
  CloseHandle(output);
  result.output = ReadFileBytes(outputPath);
  return result;
}

}  // namespace e2e
