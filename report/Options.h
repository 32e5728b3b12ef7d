// The command line of the report tool.
#pragma once
#include <string>
#include <vector>

#include "report/Throttling.h"

namespace report {

struct Options {
  std::vector<std::string> logs;
  std::string csvPath;
  std::string svgPath;
  unsigned belowPercent = kDefaultBelowPercent;  // an episode: below this share of the peak
  bool help = false;
};

// False with `error` set when the arguments make no sense.
bool ParseOptions(const std::vector<std::string>& arguments, Options& options, std::string& error);

extern const char kUsageText[];

}  // namespace report
