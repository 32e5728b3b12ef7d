// Any bytes as a log file for the report tool: every run that starts ends, samples
// come only inside runs and never go back in time, the chart is still drawn, and
// the look for the optional pieces finds every one a run has, and every episode of
// a falling clock lies within its run.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string_view>
#include <vector>

#include "report/ChartColumns.h"
#include "report/CoreClockScan.h"
#include "report/LogReader.h"
#include "report/RunStatistics.h"
#include "report/SummaryText.h"
#include "report/SvgChart.h"
#include "tests/fuzz/FuzzCheck.h"

namespace {
class CheckingListener : public report::LogListener {
 public:
  void OnRunStart(const report::RunStart& start) override {
    FUZZ_CHECK(!run_.has_value());
    run_.emplace(start.seconds);
    last_ = start.seconds;
    first_ = INT64_MAX;
  }
  void OnSample(const report::Sample& sample) override {
    FUZZ_CHECK(run_.has_value());
    FUZZ_CHECK(sample.seconds >= last_);
    if (first_ == INT64_MAX) first_ = sample.seconds;
    const int64_t interval = run_->Samples() == 0 ? -1 : sample.seconds - last_;
    last_ = sample.seconds;
    run_->Add(sample);
    const report::SampleLine& line = *sample.line;
    logged.coreClock = logged.coreClock || line.hasCoreClock;
    logged.limit = logged.limit || line.hasLimit;
    logged.temperature = logged.temperature || line.hasTemperature;
    logged.battery = logged.battery || line.onBattery;
    chart.Add(static_cast<uint32_t>(medians.size()), sample.seconds, interval, *sample.line);
  }
  void OnRunEnd(const report::RunEnd& end) override {
    FUZZ_CHECK(run_.has_value());
    const int64_t first = first_, last = last_;
    const report::RunSummary summary = run_->Finish(end, [&](const report::Episode& episode) {
      FUZZ_CHECK(episode.samples >= 2);
      FUZZ_CHECK(first <= episode.startSeconds && episode.startSeconds <= episode.endSeconds &&
                 episode.endSeconds <= last);
      FUZZ_CHECK(episode.startSeconds <= episode.lowestAt &&
                 episode.lowestAt <= episode.endSeconds);
      FUZZ_CHECK(episode.lowestPercent <= episode.medianPercent);
      chart.MarkEpisode(episode.startSeconds, episode.endSeconds, report::kThrottlingMark);
    });
    const report::ThrottlingSummary& throttling = summary.throttling;
    FUZZ_CHECK(throttling.Episodes() <= summary.samples / 2);
    FUZZ_CHECK(throttling.listed.size() <= report::kEpisodesListed);
    FUZZ_CHECK(throttling.throttlingSeconds >= 0);
    FUZZ_CHECK(summary.clockMin <= summary.clockMedian && summary.clockMedian <= summary.clockMax);
    FUZZ_CHECK(summary.coreSamples <= summary.samples);
    FUZZ_CHECK(summary.coreMin <= summary.coreMedian && summary.coreMedian <= summary.coreMax);
    FUZZ_CHECK(summary.shareBelow95 >= 0 && summary.shareBelow95 <= 1);
    FUZZ_CHECK(summary.gaps <= summary.intervals);
    FUZZ_CHECK(!report::SummaryText(1, "fuzz", 1, "note", summary).empty());
    medians.push_back(summary.medianInterval);
    run_.reset();
  }
  void OnUnknownLine(size_t lineNumber, std::string_view) override {
    FUZZ_CHECK(lineNumber > lastUnknown_);
    lastUnknown_ = lineNumber;
  }
  bool InRun() const { return run_.has_value(); }

  report::ChartColumns chart{64};
  report::LoggedPieces logged;
  std::vector<double> medians;

 private:
  std::optional<report::RunStatistics> run_;
  int64_t first_ = 0;
  int64_t last_ = 0;
  size_t lastUnknown_ = 0;
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  CheckingListener listener;
  report::LogReader reader(listener);
  for (size_t begin = 0; begin < text.size();) {
    size_t end = text.find('\n', begin);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(begin, end - begin);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    reader.ReadLine(line);
    begin = end + 1;
  }
  reader.Finish();
  FUZZ_CHECK(!listener.InRun());
  // The look that decides the CSV's columns sees every piece a run has.
  std::FILE* file = fmemopen(const_cast<uint8_t*>(data), size, "rb");
  if (file != nullptr) {
    const report::LoggedPieces found = report::FindPieces(file, {true, true, true, true});
    FUZZ_CHECK(found.coreClock || !listener.logged.coreClock);
    FUZZ_CHECK(found.limit || !listener.logged.limit);
    FUZZ_CHECK(found.temperature || !listener.logged.temperature);
    FUZZ_CHECK(found.battery || !listener.logged.battery);
    std::fclose(file);
  }
  const std::string svg = report::RenderSvgChart(listener.chart, listener.medians);
  FUZZ_CHECK(svg.size() >= 7 && svg.compare(svg.size() - 7, 7, "</svg>\n") == 0);
  return 0;
}
