#include "report/Options.h"

namespace report {

const char kUsageText[] =
    "Usage: sentel-report [--csv FILE] [--svg FILE] LOG...\n"
    "\n"
    "Reads log files saved by the monitor and writes a summary of every run to\n"
    "standard output: start, end, duration, samples, the median interval, the gaps,\n"
    "the clock's minimum, median and maximum, those of the core clock, the load and\n"
    "the available memory (each when the log has it).\n"
    "\n"
    "  --csv FILE   also write every sample as CSV (RFC 4180): run, local date-time\n"
    "               (ISO 8601), MHz, load %, available KB, and the core clock MHz\n"
    "               when any line has it; empty where a line has none\n"
    "  --svg FILE   also write a chart of the clock (and the core clock), the load\n"
    "               and the memory over time, as one SVG file that any browser shows\n"
    "  --help       show this text\n"
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
