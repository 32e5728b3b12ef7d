#include "report/SvgChart.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "report/AppendFormat.h"
#include "report/CivilTime.h"
#include "report/RunStatistics.h"

namespace report {
namespace {
using namespace chart_layout;

struct Axis {
  double low = 0, high = 1, step = 1;
  int decimals = 0;
};

Axis NiceAxis(double low, double high) {
  // A little room above and below, so the line never runs along the frame.
  const double margin = (high - low) * 0.05;
  low = low >= 0 && low - margin < 0 ? 0 : low - margin;
  high += margin;
  if (!(high > low)) {
    const double pad = std::max(1.0, std::fabs(low) * 0.01);
    low -= pad;
    high += pad;
  }
  const double rough = (high - low) / 4;
  const double power = std::pow(10.0, std::floor(std::log10(rough)));
  double step = power;
  for (double factor : {1.0, 2.0, 5.0, 10.0}) {
    step = factor * power;
    if (step >= rough) break;
  }
  Axis axis;
  axis.step = step;
  axis.low = std::floor(low / step) * step;
  axis.high = std::ceil(high / step) * step;
  axis.decimals = std::max(0, static_cast<int>(-std::floor(std::log10(step))));
  return axis;
}

// One line of a panel: a figure's lowest and highest value in each column.
struct Series {
  const char* name;
  const char* colour;
  const char* legend;
  bool ChartBucket::*has;
  double ChartBucket::*min;
  double ChartBucket::*max;
};

struct Panel {
  const char* name;
  int top;
  int height;
  Axis axis;
  std::vector<Series> series;
  double Y(double value) const {
    return top + (axis.high - value) / (axis.high - axis.low) * height;
  }
};

// The pixel columns: the buckets folded by the column their first sample falls in.
std::vector<ChartBucket> FoldIntoColumns(const std::vector<ChartBucket>& buckets, int64_t first,
                                         int64_t span, std::vector<int>& xs) {
  std::vector<ChartBucket> columns;
  for (const ChartBucket& bucket : buckets) {
    const int x = static_cast<int>((bucket.firstSeconds - first) * (kPlotWidth - 1) / span);
    if (!xs.empty() && xs.back() == x) {
      MergeBucket(columns.back(), bucket);
    } else {
      xs.push_back(x);
      columns.push_back(bucket);
    }
  }
  return columns;
}

bool BreaksBefore(const ChartBucket& previous, const ChartBucket& next,
                  const std::vector<double>& medianIntervals) {
  if (next.firstRun != previous.lastRun || next.intervalBefore < 0) return true;
  const double median = next.firstRun < medianIntervals.size() ? medianIntervals[next.firstRun] : 0;
  return median > 0 && IsGap(next.intervalBefore, median);
}

const int64_t kTimeSteps[] = {1,     2,     5,      10,     15,      30,      60,      120,
                              300,   600,   900,    1800,   3600,    7200,    10800,   21600,
                              43200, 86400, 172800, 604800, 1209600, 2592000, 7776000, 31536000};

void DrawTimeAxis(std::string& out, int64_t first, int64_t span, int axisTop) {
  int64_t step = kTimeSteps[sizeof kTimeSteps / sizeof kTimeSteps[0] - 1];
  for (int64_t candidate : kTimeSteps) {
    if (span / candidate <= 8) {
      step = candidate;
      break;
    }
  }
  while (span / step > 8) step *= 2;
  AppendFormat(out, "<g class=\"time\" font-size=\"11\" text-anchor=\"middle\">\n");
  int64_t tick = (first >= 0 ? (first + step - 1) / step : -((-first) / step)) * step;
  std::string lastDate;
  for (; tick <= first + span; tick += step) {
    const double x = kPlotLeft + static_cast<double>(tick - first) * (kPlotWidth - 1) /
                                     static_cast<double>(span);
    const std::string text = DateTimeText(tick);  // "YYYY-MM-DD HH:MM:SS"
    const std::string date = text.substr(0, 10);
    const std::string time = step < 60 ? text.substr(11) : text.substr(11, 5);
    AppendFormat(out, "<line x1=\"%.1f\" y1=\"%d\" x2=\"%.1f\" y2=\"%d\" stroke=\"#888\"/>\n", x,
                 axisTop, x, axisTop + 5);
    if (step < kSecondsPerDay) {
      AppendFormat(out, "<text x=\"%.1f\" y=\"%d\">%s</text>\n", x, axisTop + 17, time.c_str());
    }
    if (date != lastDate || step >= kSecondsPerDay) {
      AppendFormat(out, "<text x=\"%.1f\" y=\"%d\">%s</text>\n", x,
                   axisTop + (step < kSecondsPerDay ? 31 : 17), date.c_str());
      lastDate = date;
    }
  }
  AppendFormat(out, "</g>\n");
}

void DrawPanelFrame(std::string& out, const Panel& panel) {
  AppendFormat(out, "<g class=\"%s-axis\" font-size=\"11\" text-anchor=\"end\">\n", panel.name);
  AppendFormat(
      out,
      "<rect x=\"%d\" y=\"%d\" width=\"%d\" height=\"%d\" fill=\"#fafafa\" stroke=\"#bbb\"/>\n",
      kPlotLeft, panel.top, kPlotWidth, panel.height);
  const int ticks =
      static_cast<int>(std::lround((panel.axis.high - panel.axis.low) / panel.axis.step));
  for (int i = 0; i <= ticks; ++i) {
    const double value = panel.axis.low + i * panel.axis.step;
    const double y = panel.Y(value);
    AppendFormat(out, "<line x1=\"%d\" y1=\"%.1f\" x2=\"%d\" y2=\"%.1f\" stroke=\"#e4e4e4\"/>\n",
                 kPlotLeft, y, kPlotLeft + kPlotWidth, y);
    AppendFormat(out, "<text x=\"%d\" y=\"%.1f\">%.*f</text>\n", kPlotLeft - 6, y + 4,
                 panel.axis.decimals, value);
  }
  AppendFormat(out, "</g>\n");
}

void DrawPanelLine(std::string& out, const Panel& panel, const Series& series,
                   const std::vector<ChartBucket>& columns, const std::vector<int>& xs,
                   const std::vector<double>& medianIntervals) {
  AppendFormat(out,
               "<path class=\"%s\" fill=\"none\" stroke=\"%s\" stroke-width=\"1.5\" "
               "stroke-linecap=\"round\" stroke-linejoin=\"round\" d=\"",
               series.name, series.colour);
  const ChartBucket* previous = nullptr;
  for (size_t i = 0; i < columns.size(); ++i) {
    const ChartBucket& column = columns[i];
    if (!(column.*series.has)) {
      previous = nullptr;
      continue;
    }
    const int x = kPlotLeft + xs[i];
    const double top = panel.Y(column.*series.max);
    const double bottom = panel.Y(column.*series.min);
    const bool opens = previous == nullptr || BreaksBefore(*previous, column, medianIntervals);
    AppendFormat(out, "%c%d %.1fV%.1f", opens ? 'M' : 'L', x, top, bottom);
    previous = &column;
  }
  AppendFormat(out, "\"/>\n");
}

// Names the lines of a panel that has more than one, right-aligned on the title's row.
void DrawLegend(std::string& out, const Panel& panel) {
  constexpr int kEntryWidth = 110;
  AppendFormat(out, "<g class=\"legend\" font-size=\"12\">\n");
  int x = kPlotLeft + kPlotWidth - kEntryWidth * static_cast<int>(panel.series.size());
  for (const Series& series : panel.series) {
    AppendFormat(out,
                 "<line x1=\"%d\" y1=\"18\" x2=\"%d\" y2=\"18\" stroke=\"%s\" "
                 "stroke-width=\"2\"/>\n",
                 x, x + 20, series.colour);
    AppendFormat(out, "<text x=\"%d\" y=\"22\">%s</text>\n", x + 25, series.legend);
    x += kEntryWidth;
  }
  AppendFormat(out, "</g>\n");
}

// Behind the clock panel's lines: where the run's clock fell, throttling in red and
// low-load drops in grey, at the chart's resolution.
void DrawEpisodes(std::string& out, const Panel& panel, const std::vector<ChartBucket>& columns,
                  const std::vector<int>& xs) {
  // A chart without episodes stays as it always was.
  const bool any = std::any_of(columns.begin(), columns.end(),
                               [](const ChartBucket& column) { return column.episodes != 0; });
  if (!any) return;
  AppendFormat(out, "<g class=\"episodes\">\n");
  for (size_t i = 0; i < columns.size();) {
    const uint8_t episodes = columns[i].episodes;
    if (episodes == 0) {
      ++i;
      continue;
    }
    const bool throttling = (episodes & kThrottlingMark) != 0;
    size_t last = i;
    while (last + 1 < columns.size() && columns[last + 1].episodes != 0 &&
           ((columns[last + 1].episodes & kThrottlingMark) != 0) == throttling) {
      ++last;
    }
    AppendFormat(out,
                 "<rect class=\"%s\" x=\"%d\" y=\"%d\" width=\"%d\" height=\"%d\" "
                 "fill=\"%s\"/>\n",
                 throttling ? "throttling" : "low-load-drop", kPlotLeft + xs[i], panel.top,
                 xs[last] - xs[i] + 1, panel.height, throttling ? "#f6c9c4" : "#dfe4ea");
    i = last + 1;
  }
  AppendFormat(out, "</g>\n");
}

const char* UnitOf(const Panel& panel) {
  const std::string name = panel.name;
  if (name == "clock") return "MHz";
  if (name == "load") return "load %";
  if (name == "limit") return "limit %";
  return "available K";
}

void DrawRunStarts(std::string& out, const std::vector<ChartBucket>& columns,
                   const std::vector<int>& xs, int bottom) {
  size_t labels = 0;
  for (size_t i = 0; i < columns.size(); ++i) {
    if (i > 0 && columns[i].firstRun == columns[i - 1].lastRun) continue;
    const int x = kPlotLeft + xs[i];
    AppendFormat(out,
                 "<line class=\"run-start\" x1=\"%d\" y1=\"%d\" x2=\"%d\" y2=\"%d\" "
                 "stroke=\"#999\" stroke-dasharray=\"3 3\"/>\n",
                 x, kTop, x, bottom);
    if (++labels <= 40) {
      const bool nearEnd = x > kPlotLeft + kPlotWidth - 50;
      AppendFormat(out, "<text x=\"%d\" y=\"%d\" font-size=\"10\" fill=\"#666\"%s>run %u</text>\n",
                   nearEnd ? x - 3 : x + 3, kTop + 11, nearEnd ? " text-anchor=\"end\"" : "",
                   columns[i].firstRun + 1);
    }
  }
}
}  // namespace

std::string RenderSvgChart(const ChartColumns& chart, const std::vector<double>& medianIntervals) {
  const std::vector<ChartBucket> buckets = chart.UsedBuckets();
  std::vector<Panel> panels;
  int top = kTop;
  // Each panel below the one before it.
  auto addPanel = [&](int height, const Series& series) {
    panels.push_back({series.name, top, height, {}, {series}});
    top += height + kPanelGap;
  };
  addPanel(kClockHeight, {"clock", "#1f5fbf", "TSC clock", &ChartBucket::used, &ChartBucket::mhzMin,
                          &ChartBucket::mhzMax});
  // The core clock beside the TSC figure on one scale: the gap between them is the point.
  if (chart.HasCoreClock()) {
    panels.back().series.push_back({"core-clock", "#e67e22", "core clock",
                                    &ChartBucket::hasCoreClock, &ChartBucket::coreMin,
                                    &ChartBucket::coreMax});
  }
  if (chart.HasLoad()) {
    addPanel(kSmallPanelHeight, {"load", "#c0392b", "load", &ChartBucket::hasLoad,
                                 &ChartBucket::loadMin, &ChartBucket::loadMax});
  }
  if (chart.HasMemory()) {
    addPanel(kSmallPanelHeight, {"memory", "#2e8b57", "available memory", &ChartBucket::hasMemory,
                                 &ChartBucket::memoryMin, &ChartBucket::memoryMax});
  }
  if (chart.HasLimit()) {
    addPanel(kSmallPanelHeight, {"limit", "#7d3c98", "limit", &ChartBucket::hasLimit,
                                 &ChartBucket::limitMin, &ChartBucket::limitMax});
  }
  const int axisTop = top - kPanelGap;
  const int height = axisTop + kAxisHeight;

  std::string out;
  AppendFormat(out, "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n");
  AppendFormat(out,
               "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%d\" height=\"%d\" "
               "viewBox=\"0 0 %d %d\" font-family=\"sans-serif\">\n",
               kWidth, height, kWidth, height);
  AppendFormat(out, "<rect width=\"100%%\" height=\"100%%\" fill=\"white\"/>\n");
  if (buckets.empty()) {
    AppendFormat(out, "<text x=\"%d\" y=\"%d\">no samples</text>\n</svg>\n", kPlotLeft, kTop);
    return out;
  }
  const int64_t first = buckets.front().firstSeconds;
  const int64_t last =
      std::max_element(buckets.begin(), buckets.end(), [](const auto& a, const auto& b) {
        return a.lastSeconds < b.lastSeconds;
      })->lastSeconds;
  const int64_t span = std::max<int64_t>(1, last - first);
  AppendFormat(out, "<text x=\"%d\" y=\"22\" font-size=\"14\">CPU clock from %s to %s</text>\n",
               kPlotLeft, DateTimeText(first).c_str(), DateTimeText(last).c_str());
  if (panels.front().series.size() > 1) DrawLegend(out, panels.front());

  for (Panel& panel : panels) {
    double low = 0, high = 0;
    bool seen = false;
    for (const Series& series : panel.series) {
      for (const ChartBucket& bucket : buckets) {
        if (!(bucket.*series.has)) continue;
        low = seen ? std::min(low, bucket.*series.min) : bucket.*series.min;
        high = seen ? std::max(high, bucket.*series.max) : bucket.*series.max;
        seen = true;
      }
    }
    panel.axis = NiceAxis(low, high);
    DrawPanelFrame(out, panel);
  }
  AppendFormat(out, "<g font-size=\"12\" text-anchor=\"middle\">\n");
  for (const Panel& panel : panels) {
    const char* unit = UnitOf(panel);
    const int y = panel.top + panel.height / 2;
    AppendFormat(out, "<text x=\"16\" y=\"%d\" transform=\"rotate(-90 16 %d)\">%s</text>\n", y, y,
                 unit);
  }
  AppendFormat(out, "</g>\n");

  std::vector<int> xs;
  const std::vector<ChartBucket> columns = FoldIntoColumns(buckets, first, span, xs);
  DrawEpisodes(out, panels.front(), columns, xs);
  DrawRunStarts(out, columns, xs, axisTop);
  for (const Panel& panel : panels) {
    for (const Series& series : panel.series) {
      DrawPanelLine(out, panel, series, columns, xs, medianIntervals);
    }
  }
  DrawTimeAxis(out, first, span, axisTop);
  AppendFormat(out, "</svg>\n");
  return out;
}

}  // namespace report
