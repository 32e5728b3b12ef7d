// The summary of one run as people read it.
#pragma once
#include <string>

#include "report/RunStatistics.h"

namespace report {

// `run` counts from 1 over all files.
std::string SummaryText(unsigned run, const std::string& file, size_t startLine,
                        const std::string& timerNote, const RunSummary& summary);

}  // namespace report
