#include "report/ReportSession.h"

#include <cstring>

#include "report/SummaryText.h"
#include "report/SvgChart.h"

namespace report {
namespace {
constexpr size_t kReadSize = 1 << 20;
// A line longer than this is no line of a log; only its start is kept to be shown.
constexpr size_t kLongestLine = 1 << 16;
constexpr size_t kShownLength = 120;

// Calls `take` with each line of the file, without its LF or CR LF.
template <typename TakeLine>
bool ForEachLine(std::FILE* file, TakeLine take) {
  std::vector<char> block(kReadSize);
  std::string carried;
  bool overlong = false;
  for (;;) {
    const size_t got = std::fread(block.data(), 1, block.size(), file);
    if (got == 0) break;
    const char* at = block.data();
    const char* const end = at + got;
    while (at < end) {
      const char* feed =
          static_cast<const char*>(std::memchr(at, '\n', static_cast<size_t>(end - at)));
      if (feed == nullptr) {
        if (carried.size() < kLongestLine) {
          carried.append(at,
                         std::min(static_cast<size_t>(end - at), kLongestLine - carried.size()));
        } else {
          overlong = true;
        }
        break;
      }
      std::string_view line(at, static_cast<size_t>(feed - at));
      if (!carried.empty() || overlong) {
        if (carried.size() < kLongestLine) {
          carried.append(line.data(), std::min(line.size(), kLongestLine - carried.size()));
        }
        line = carried;
      }
      if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
      take(line);
      carried.clear();
      overlong = false;
      at = feed + 1;
    }
  }
  if (std::ferror(file)) return false;
  if (!carried.empty()) {
    std::string_view line = carried;
    if (line.back() == '\r') line.remove_suffix(1);
    take(line);
  }
  return true;
}
}  // namespace

ReportSession::ReportSession(std::FILE* summary, std::FILE* csv, bool chart,
                             const LoggedPieces& csvColumns, unsigned belowPercent)
    : summary_(summary), belowPercent_(belowPercent) {
  if (csv != nullptr) csv_ = std::make_unique<CsvWriter>(csv, csvColumns);
  if (chart) chart_ = std::make_unique<ChartColumns>();
}

bool ReportSession::ReadFile(const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return false;
  BeginFile(path);
  const bool read = ForEachLine(file, [this](std::string_view line) { reader_->ReadLine(line); });
  std::fclose(file);
  EndFile();
  return read;
}

void ReportSession::BeginFile(const std::string& name) {
  file_ = name;
  runsInFile_ = 0;
  reader_ = std::make_unique<LogReader>(*this);
}

void ReportSession::EndFile() {
  reader_->Finish();
  std::fflush(summary_);
}

std::string ReportSession::Chart() const {
  return chart_ ? RenderSvgChart(*chart_, medianIntervals_) : std::string();
}

void ReportSession::OnRunStart(const RunStart& start) {
  run_.emplace(start.seconds, belowPercent_);
  runLine_ = start.lineNumber;
  runNote_.assign(start.timerNote.data(), start.timerNote.size());
  ++runs_;
  ++runsInFile_;
}

void ReportSession::OnSample(const Sample& sample) {
  const bool first = run_->Samples() == 0;
  const int64_t interval = first ? -1 : sample.seconds - run_->LastSampleSeconds();
  run_->Add(sample);
  if (csv_) csv_->WriteRow(runs_, sample.seconds, *sample.line);
  if (chart_) chart_->Add(runs_ - 1, sample.seconds, interval, *sample.line);
}

void ReportSession::OnRunEnd(const RunEnd& end) {
  EpisodeSink shade;
  if (chart_) {
    shade = [this](const Episode& episode) {
      chart_->MarkEpisode(episode.startSeconds, episode.endSeconds,
                          episode.throttling ? kThrottlingMark : kLowLoadMark);
    };
  }
  const RunSummary summary = run_->Finish(end, shade);
  run_.reset();
  medianIntervals_.push_back(summary.medianInterval);
  const std::string text = SummaryText(runs_, file_, runLine_, runNote_, summary);
  std::fwrite(text.data(), 1, text.size(), summary_);
}

void ReportSession::OnUnknownLine(size_t lineNumber, std::string_view text) {
  ++unknownCount_;
  if (firstUnknown_.size() >= kUnknownLinesShown) return;
  UnknownLine unknown{file_, lineNumber, std::string(text.substr(0, kShownLength))};
  for (char& c : unknown.text) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
  }
  if (text.size() > kShownLength) unknown.text += "...";
  firstUnknown_.push_back(std::move(unknown));
}

}  // namespace report
