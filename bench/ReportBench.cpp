// The report tool against `wc -l` on the same log of sample lines, side by side in
// one run: wall time and peak memory of each, taken from the children themselves.
//   report-bench PROGRAM LOG [ROUNDS]
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

void WriteLog(const std::string& path, long lines) {
  std::FILE* log = std::fopen(path.c_str(), "wb");
  if (log == nullptr) std::exit(1);
  std::fputs("Ondrel (build: Wed Apr 21 20:50:43 2004) log file.\r\n--\r\n", log);
  std::fputs("started: 12/31/05, 23:59:58 (HPC is used)\r\n", log);
  unsigned seed = 1;
  for (long i = 0; i < lines; ++i) {
    seed = seed * 1103515245u + 12345u;
    const long second = (86398 + i * 5) % 86400;
    // A clock that wanders and dips now and then, a load and a free memory figure.
    const double mhz = (seed >> 20) % 100 == 0 ? 1199.5 + (seed >> 8) % 100 / 100.0
                                               : 2399.0 + (seed >> 8) % 200 / 100.0;
    std::fprintf(log, "%02ld:%02ld:%02ld, %7.2f MHz, (%.1f%%), (%u K)\r\n", second / 3600,
                 second / 60 % 60, second % 60, mhz, (seed >> 4) % 1000 / 10.0,
                 523000u + (seed >> 12) % 2000);
  }
  std::fputs("stopped: 02/28/06, 00:00:00\r\n", log);
  std::fclose(log);
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}
}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: report-bench PROGRAM LOG [ROUNDS]\n");
    return 2;
  }
  const std::string program = argv[1], log = argv[2];
  const int rounds = argc > 3 ? std::atoi(argv[3]) : 11;
  const long lines = 1000000;
  if (access(log.c_str(), R_OK) != 0) WriteLog(log, lines);
  const std::string csv = log + ".csv", svg = log + ".svg", summary = log + ".summary";

  std::vector<double> wcTimes, reportTimes, wcCpu, reportCpu;
  long reportPeakKb = 0, wcPeakKb = 0;
  for (int round = 0; round < rounds; ++round) {
    const Measured wc = RunChild({"wc", "-l", log}, "/dev/null");
    // A new file each time, as a user's report mostly writes: truncating the last
    // round's 40 MB would be timed too.
    std::remove(csv.c_str());
    std::remove(svg.c_str());
    const Measured report = RunChild({program, "--csv", csv, "--svg", svg, log}, summary.c_str());
    if (wc.status != 0 || report.status != 0) {
      std::fprintf(stderr, "report-bench: a child failed (wc %d, report %d)\n", wc.status,
                   report.status);
      return 1;
    }
    wcTimes.push_back(wc.seconds);
    reportTimes.push_back(report.seconds);
    wcCpu.push_back(wc.cpuSeconds);
    reportCpu.push_back(report.cpuSeconds);
    reportPeakKb = std::max(reportPeakKb, report.peakKb);
    wcPeakKb = std::max(wcPeakKb, wc.peakKb);
  }
  std::FILE* file = std::fopen(log.c_str(), "rb");
  std::fseek(file, 0, SEEK_END);
  const long bytes = std::ftell(file);
  std::fclose(file);
  file = std::fopen(svg.c_str(), "rb");
  std::fseek(file, 0, SEEK_END);
  const long svgBytes = std::ftell(file);
  std::fclose(file);
  const double wcSeconds = Median(wcTimes), reportSeconds = Median(reportTimes);
  const double wcCpuSeconds = Median(wcCpu), reportCpuSeconds = Median(reportCpu);
  std::printf("log: %ld sample lines, %.1f MB; %d rounds, medians\n", lines, bytes / 1e6, rounds);
  std::printf("wc -l:                    %.3f s wall, %.3f s CPU, peak %ld KB\n", wcSeconds,
              wcCpuSeconds, wcPeakKb);
  std::printf("report (summary+CSV+SVG): %.3f s wall, %.3f s CPU, peak %ld KB (%.1f MB)\n",
              reportSeconds, reportCpuSeconds, reportPeakKb, reportPeakKb / 1024.0);
  std::printf("ratio report / wc -l:     %.1f wall, %.1f CPU\n", reportSeconds / wcSeconds,
              reportCpuSeconds / wcCpuSeconds);
  std::printf("SVG: %ld bytes\n", svgBytes);
  return 0;
}
