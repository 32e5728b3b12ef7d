#include "report/Options.h"

namespace report {

const char kUsageText[] =
    "Usage: sentel-report [--csv FILE] [--svg FILE] [--below PCT] LOG...\n"
    "\n"
    "Reads log files saved by the monitor and writes a summary of every run to\n"
    "standard output: first a verdict on throttling, then start, end, duration,\n"
    "samples, the median interval, the gaps, the clock's minimum, median and\n"
    "maximum, those of the core clock, the load and the available memory (each when\n"
    "the log has it), and the episodes where the clock fell.\n"
    "\n"
    "  --csv FILE   also write every sample as CSV (RFC 4180): run, local date-time\n"
    "               (ISO 8601), MHz, load %, available KB, and the core clock MHz,\n"
    "               limit %, temperature C and on battery (1) when any line has\n"
    "               them; empty where a line has none\n"
    "  --svg FILE   also write a chart of the clock (and the core clock), the load,\n"
    "               the memory and the limit over time, as one SVG file that any\n"
    "               browser shows\n"
    "  --below PCT  an episode is two or more samples in a row below PCT % of the\n"
    "               run's peak (default 90)\n"
    "  --help       show this text\n"
    "\n"
    "Throttling: the run's peak is the 95th percentile of the core clock where the\n"
    "run has it, else of the clock. An episode ends at a sample at or above PCT %\n"
    "of the peak or at a gap. Episodes whose median load is 50 % or more count as\n"
    "throttling, the others as low-load drops (power saving).\n"
    "\n"
    "Dates: a sample line has only the time of day; its date comes from the run's\n"
    "started line, and a time earlier than the one before means the next day.\n"
    "The log gives two-digit years: 69-99 are read as 1969-1999, 00-68 as 2000-2068.\n"
    "\n"
    "A run that ended without Stop (a recovered run, or one whose closing line is\n"
    "missing) is reported as such. Lines that fit nowhere are counted and the first\n"
    "of them shown with their file and line number; the report goes on.\n"
    "\n"
    "Exit code: 0 when every file was read and held a run; 2 when a file is missing,\n"
    "unreadable or holds no run, an output cannot be written, or the arguments are wrong.\n";

namespace {
bool ReadPercent(const std::string& text, unsigned& percent) {
  if (text.empty() || text.size() > 2) return false;
  unsigned value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + static_cast<unsigned>(c - '0');
  }
  if (value < 1) return false;
  percent = value;
  return true;
}
}  // namespace

bool ParseOptions(const std::vector<std::string>& arguments, Options& options, std::string& error) {
  options = Options{};
  bool onlyLogs = false;
  for (size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (onlyLogs || argument.empty() || argument[0] != '-' || argument == "-") {
      options.logs.push_back(argument);
    } else if (argument == "--") {
      onlyLogs = true;
    } else if (argument == "--help" || argument == "-h" || argument == "/?") {
      options.help = true;
    } else if (argument == "--below") {
      if (!ReadPercent(i + 1 < arguments.size() ? arguments[++i] : "", options.belowPercent)) {
        error = "--below needs a whole percentage from 1 to 99";
        return false;
      }
    } else if (argument == "--csv" || argument == "--svg") {
      if (i + 1 >= arguments.size() || arguments[i + 1].empty()) {
        error = argument + " needs a file name";
        return false;
      }
      std::string& path = argument == "--csv" ? options.csvPath : options.svgPath;
      if (!path.empty()) {
        error = argument + " given twice";
        return false;
      }
      path = arguments[++i];
    } else {
      error = "unknown option " + argument;
      return false;
    }
  }
  if (!options.help && options.logs.empty()) {
    error = "no log file given";
    return false;
  }
  return true;
}

}  // namespace report
