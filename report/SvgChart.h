// The chart as one self-contained SVG: the clock over time (with the core clock
// beside it and a legend when the log has it), the load and the memory in panels
// of their own below it when the log has them, a time axis with dates and times,
// and a break in the line between runs and at every gap.
#pragma once
#include <string>
#include <vector>

#include "report/ChartColumns.h"

namespace report {

// Where things are drawn, in pixels; one column of the plot per pixel.
namespace chart_layout {
constexpr int kWidth = 1000;
constexpr int kPlotLeft = 90;
constexpr int kPlotWidth = 880;
constexpr int kTop = 40;
constexpr int kClockHeight = 260;
constexpr int kSmallPanelHeight = 120;
constexpr int kPanelGap = 30;
constexpr int kAxisHeight = 50;
}  // namespace chart_layout

// `medianIntervals[run]` is the run's median interval (0 when it had one sample).
std::string RenderSvgChart(const ChartColumns& columns, const std::vector<double>& medianIntervals);

}  // namespace report
