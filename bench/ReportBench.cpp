// The report tool against `wc -l` on the same log of sample lines, side by side in
// one run: wall time and peak memory of each, taken from the children themselves.
// Two logs: the load and the memory only, and every piece the monitor writes.
//   report-bench PROGRAM LOG [ROUNDS]   (the second log is LOG with "-every-piece")
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {
struct Measured {
  double seconds = 0;
  double cpuSeconds = 0;  // user and system
  long peakKb = 0;
  int status = -1;
};

// Runs argv with its standard output sent to `output`.
Measured RunChild(const std::vector<std::string>& arguments, const char* output) {
  std::vector<char*> argv;
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  const auto start = std::chrono::steady_clock::now();
  const pid_t child = fork();
  if (child == 0) {
    if (std::freopen(output, "w", stdout) == nullptr) _exit(127);
    execvp(argv[0], argv.data());
    _exit(127);
  }
  Measured measured;
  struct rusage usage {};
  wait4(child, &measured.status, 0, &usage);
  measured.seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  measured.peakKb = usage.ru_maxrss;
  measured.cpuSeconds = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                        static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
  return measured;
}

// A clock that wanders and dips now and then, a load and a free memory figure.
void WriteLoadAndMemoryLine(std::FILE* log, long i, unsigned seed) {
  const long second = (86398 + i * 5) % 86400;
  const double mhz = (seed >> 20) % 100 == 0 ? 1199.5 + (seed >> 8) % 100 / 100.0
                                             : 2399.0 + (seed >> 8) % 200 / 100.0;
  std::fprintf(log, "%02ld:%02ld:%02ld, %7.2f MHz, (%.1f%%), (%u K)\r\n", second / 3600,
               second / 60 % 60, second % 60, mhz, (seed >> 4) % 1000 / 10.0,
               523000u + (seed >> 12) % 2000);
}

// Every piece on every line: the core clock at its peak with an episode of 20
// samples under its limit every 2,000 samples, and a drop while idle now and then.
void WriteEveryPieceLine(std::FILE* log, long i, unsigned seed) {
  const long second = (86398 + i * 5) % 86400;
  const bool throttled = i % 2000 >= 1000 && i % 2000 < 1020;
  const bool idle = i % 5000 >= 3000 && i % 5000 < 3010;
  const double core = throttled ? 1870.0 + (seed >> 8) % 200 / 100.0
                      : idle    ? 800.0 + (seed >> 8) % 100 / 100.0
                                : 3399.0 + (seed >> 8) % 200 / 100.0;
  const double load = idle ? (seed >> 4) % 100 / 10.0 : 60 + (seed >> 4) % 400 / 10.0;
  std::fprintf(log,
               "%02ld:%02ld:%02ld, %7.2f MHz, (%.1f%%), (%u K), (core %7.2f MHz), "
               "(limit %u%%), (%.1f C), (on battery)\r\n",
               second / 3600, second / 60 % 60, second % 60, 2596.0 + (seed >> 8) % 3 / 100.0, load,
               523000u + (seed >> 12) % 2000, core, throttled ? 55u : 100u,
               (throttled ? 96.0 : 70.0) + (seed >> 16) % 50 / 10.0);
}

void WriteLog(const std::string& path, long lines, void (*writeLine)(std::FILE*, long, unsigned)) {
  std::FILE* log = std::fopen(path.c_str(), "wb");
  if (log == nullptr) std::exit(1);
  std::fputs("Ondrel (build: Wed Apr 21 20:50:43 2004) log file.\r\n--\r\n", log);
  std::fputs("started: 12/31/05, 23:59:58 (HPC is used)\r\n", log);
  unsigned seed = 1;
  for (long i = 0; i < lines; ++i) {
    seed = seed * 1103515245u + 12345u;
    writeLine(log, i, seed);
  }
  std::fputs("stopped: 02/28/06, 00:00:00\r\n", log);
  std::fclose(log);
}

long FileSize(const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return -1;
  std::fseek(file, 0, SEEK_END);
  const long bytes = std::ftell(file);
  std::fclose(file);
  return bytes;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

struct Rounds {
  std::vector<double> wcTimes, reportTimes, wcCpu, reportCpu;
  long reportPeakKb = 0, wcPeakKb = 0;
};

// One round: `wc -l`, then the report writing its three outputs anew.
bool MeasureRound(const std::string& program, const std::string& log, Rounds& rounds) {
  const std::string csv = log + ".csv", svg = log + ".svg", summary = log + ".summary";
  const Measured wc = RunChild({"wc", "-l", log}, "/dev/null");
  // A new file each time, as a user's report mostly writes: truncating the last
  // round's 40 MB would be timed too.
  std::remove(csv.c_str());
  std::remove(svg.c_str());
  const Measured report = RunChild({program, "--csv", csv, "--svg", svg, log}, summary.c_str());
  if (wc.status != 0 || report.status != 0) {
    std::fprintf(stderr, "report-bench: a child failed on %s (wc %d, report %d)\n", log.c_str(),
                 wc.status, report.status);
    return false;
  }
  rounds.wcTimes.push_back(wc.seconds);
  rounds.reportTimes.push_back(report.seconds);
  rounds.wcCpu.push_back(wc.cpuSeconds);
  rounds.reportCpu.push_back(report.cpuSeconds);
  rounds.reportPeakKb = std::max(rounds.reportPeakKb, report.peakKb);
  rounds.wcPeakKb = std::max(rounds.wcPeakKb, wc.peakKb);
  return true;
}

void Print(const char* what, const std::string& log, long lines, int count, const Rounds& rounds) {
  const double wcSeconds = Median(rounds.wcTimes), reportSeconds = Median(rounds.reportTimes);
  const double wcCpuSeconds = Median(rounds.wcCpu), reportCpuSeconds = Median(rounds.reportCpu);
  std::printf("%s log: %ld sample lines, %.1f MB; %d rounds, medians\n", what, lines,
              FileSize(log) / 1e6, count);
  std::printf("  wc -l:                    %.3f s wall, %.3f s CPU, peak %ld KB\n", wcSeconds,
              wcCpuSeconds, rounds.wcPeakKb);
  std::printf("  report (summary+CSV+SVG): %.3f s wall, %.3f s CPU, peak %ld KB (%.1f MB)\n",
              reportSeconds, reportCpuSeconds, rounds.reportPeakKb, rounds.reportPeakKb / 1024.0);
  std::printf("  ratio report / wc -l:     %.1f wall, %.1f CPU\n", reportSeconds / wcSeconds,
              reportCpuSeconds / wcCpuSeconds);
  std::printf("  CSV: %ld bytes, SVG: %ld bytes\n", FileSize(log + ".csv"), FileSize(log + ".svg"));
}
}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: report-bench PROGRAM LOG [ROUNDS]\n");
    return 2;
  }
  const std::string program = argv[1], log = argv[2];
  const int count = argc > 3 ? std::atoi(argv[3]) : 11;
  const long lines = 1000000;
  const size_t dot = log.rfind('.');
  const std::string everyPiece =
      (dot == std::string::npos ? log : log.substr(0, dot)) + "-every-piece.txt";
  if (access(log.c_str(), R_OK) != 0) WriteLog(log, lines, WriteLoadAndMemoryLine);
  if (access(everyPiece.c_str(), R_OK) != 0) WriteLog(everyPiece, lines, WriteEveryPieceLine);
  // The two logs alternate, so that both see the same moments of a busy machine.
  Rounds old, every;
  for (int round = 0; round < count; ++round) {
    if (!MeasureRound(program, log, old) || !MeasureRound(program, everyPiece, every)) return 1;
  }
  Print("Load and memory", log, lines, count, old);
  Print("Every piece", everyPiece, lines, count, every);
  return 0;
}
