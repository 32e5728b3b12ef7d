// sentel-report: reads the monitor's saved logs and reports their runs.
#include <cstdio>
#include <string>
#include <vector>

#include "report/CoreClockScan.h"
#include "report/Options.h"
#include "report/ReportSession.h"

namespace {
constexpr int kFailed = 2;

// A file written by the tool: closed by its owner, removed again when it fails.
class OutputFile {
 public:
  explicit OutputFile(const std::string& path) : path_(path) {
    if (!path.empty()) file_ = std::fopen(path.c_str(), "wb");
  }
  ~OutputFile() { Close(); }
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;
  std::FILE* Get() const { return file_; }
  bool Close() {
    if (file_ == nullptr) return true;
    const bool closed = std::fclose(file_) == 0;
    file_ = nullptr;
    return closed;
  }

 private:
  std::string path_;
  std::FILE* file_ = nullptr;
};

bool CannotWrite(const std::string& path) {
  std::fprintf(stderr, "sentel-report: cannot write %s\n", path.c_str());
  return false;
}
}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> arguments(argv + 1, argv + argc);
  report::Options options;
  std::string error;
  if (!report::ParseOptions(arguments, options, error)) {
    std::fprintf(stderr, "sentel-report: %s\n\n%s", error.c_str(), report::kUsageText);
    return kFailed;
  }
  if (options.help) {
    std::fputs(report::kUsageText, stdout);
    return 0;
  }

  OutputFile csv(options.csvPath);
  if (!options.csvPath.empty() && csv.Get() == nullptr) {
    CannotWrite(options.csvPath);
    return kFailed;
  }
  bool ok = true;
  // A column for a piece only when some line has it: older logs keep their CSV.
  const report::LoggedPieces csvColumns =
      csv.Get() != nullptr ? report::PiecesInLogs(options.logs) : report::LoggedPieces{};
  report::ReportSession session(stdout, csv.Get(), !options.svgPath.empty(), csvColumns,
                                options.belowPercent);
  for (const std::string& log : options.logs) {
    if (!session.ReadFile(log)) {
      std::fprintf(stderr, "sentel-report: cannot read %s\n", log.c_str());
      ok = false;
    } else if (session.RunsInLastFile() == 0) {
      std::fprintf(stderr, "sentel-report: %s holds no run (no started line)\n", log.c_str());
      ok = false;
    }
  }

  if (session.UnknownLines() > 0) {
    std::printf("Lines not understood: %llu\n",
                static_cast<unsigned long long>(session.UnknownLines()));
    for (const report::UnknownLine& line : session.FirstUnknownLines()) {
      std::printf("  %s:%llu: %s\n", line.file.c_str(),
                  static_cast<unsigned long long>(line.lineNumber), line.text.c_str());
    }
    if (session.UnknownLines() > session.FirstUnknownLines().size()) std::printf("  ...\n");
  }
  if (!session.CsvWritten() || !csv.Close()) ok = CannotWrite(options.csvPath);
  if (!options.svgPath.empty()) {
    const std::string svg = session.Chart();
    OutputFile file(options.svgPath);
    if (file.Get() == nullptr || std::fwrite(svg.data(), 1, svg.size(), file.Get()) != svg.size() ||
        !file.Close()) {
      ok = CannotWrite(options.svgPath);
    }
  }
  if (std::fflush(stdout) != 0) ok = false;
  return ok ? 0 : kFailed;
}
