// The journal's cost per line, in-process: a sample line written and flushed
// to the disk, timed one at a time, against the same line kept in memory only.
// Usage: journal-append-bench.exe [lines]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "monitor/RunJournal.h"

namespace {
double Now() {
  LARGE_INTEGER frequency, counter;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&counter);
  return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}
}  // namespace

int main(int argc, char** argv) {
  const int lines = argc > 1 ? std::atoi(argv[1]) : 600;
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  const std::string base = std::string(temp) + "journal-append-bench";
  const std::string line = "14:05:30, 2399.87 MHz, (12.5%), (523712 K)\n";
  RunJournal journal;
  if (FAILED(journal.Create(base, "header\n--\n"))) return 1;
  std::vector<double> each;
  std::string memory;
  double inMemory = 0;
  for (int i = 0; i < lines; ++i) {
    double t0 = Now();
    journal.Append(line);
    each.push_back(Now() - t0);
    t0 = Now();
    memory += line;
    inMemory += Now() - t0;
  }
  journal.Remove();
  std::sort(each.begin(), each.end());
  double total = 0;
  for (double t : each) total += t;
  std::printf("journal append + flush: mean %.3f ms, median %.3f ms, max %.3f ms over %d lines\n",
              total / lines * 1e3, each[each.size() / 2] * 1e3, each.back() * 1e3, lines);
  std::printf("kept in memory only: mean %.4f ms; ratio %.0f\n", inMemory / lines * 1e3,
              inMemory > 0 ? total / inMemory : 0.0);
  return 0;
}
