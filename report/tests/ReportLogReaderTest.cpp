// Runs found in whole files: their frame in either language, dates rebuilt across
// midnight, the three ways a run ends, and lines that belong nowhere.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "report/CivilTime.h"
#include "report/LogReader.h"

using namespace report;

namespace {
// Writes what the reader reports as one line of events.
class Recorder : public LogListener {
 public:
  void OnRunStart(const RunStart& start) override {
    out << "start " << DateTimeText(start.seconds) << (start.hasNoteLine ? " +note" : "") << "|";
  }
  void OnSample(const Sample& sample) override {
    out << DateTimeText(sample.seconds).substr(5) << "|";
  }
  void OnRunEnd(const RunEnd& end) override {
    static const char* kEndings[] = {"stopped", "interrupted", "unclosed"};
    out << kEndings[static_cast<int>(end.ending)];
    if (end.hasClosingTime) out << " " << DateTimeText(end.closingSeconds);
    out << "|";
  }
  void OnUnknownLine(size_t lineNumber, std::string_view) override {
    out << "?" << lineNumber << "|";
  }
  std::ostringstream out;
};

std::string Read(const std::vector<std::string>& lines) {
  Recorder recorder;
  LogReader reader(recorder);
  for (const std::string& line : lines) reader.ReadLine(line);
  reader.Finish();
  return recorder.out.str();
}

const char kHeader[] = "Ondrel (build: Wed Apr 21 20:50:43 2004) log file.";
const char kGermanHeader[] = "Ondrel (Build: Wed Apr 21 20:50:43 2004) Protokolldatei.";
}  // namespace

TEST(ReportLogReader, FilesAsTheMonitorWritesThem) {
  struct Row {
    const char* what;
    std::vector<std::string> lines;
    const char* events;
  } const rows[] = {
      {"two runs, English, the note line before each",
       {kHeader, "--", "Idle thread method is used.", "started: 12/31/05, 23:59:58 (HPC is used)",
        "00:00:28, 2399.87 MHz, (12.5%)", "00:00:58, 2399.91 MHz, (3.0%)",
        "stopped: 01/01/06, 00:01:10", "Idle thread method is used.",
        "started: 01/01/06, 08:00:00 (MM timer is used)", "08:00:01, 2399.87 MHz",
        "stopped: 01/01/06, 08:00:02"},
       "start 2005-12-31 23:59:58 +note|01-01 00:00:28|01-01 00:00:58|stopped 2006-01-01 00:01:10|"
       "start 2006-01-01 08:00:00 +note|01-01 08:00:01|stopped 2006-01-01 08:00:02|"},
      {"German module",
       {kGermanHeader, "--", "Leerlauf-Thread-Methode wird verwendet.",
        "gestartet: 07/04/99, 12:00:00 (MM-Timer wird verwendet)", "12:00:05,  996.40 MHz, (1 K)",
        "gestoppt: 07/04/99, 12:00:06"},
       "start 1999-07-04 12:00:00 +note|07-04 12:00:05|stopped 1999-07-04 12:00:06|"},
      {"across two midnights, the start delay included",
       {kHeader, "--", "started: 02/28/04, 23:00:00 (HPC is used)", "00:30:00, 2000.00 MHz",
        "23:59:59, 2000.00 MHz", "00:00:00, 2000.00 MHz", "00:00:00, 2000.00 MHz",
        "stopped: 03/01/04, 00:00:01"},
       "start 2004-02-28 23:00:00|02-29 00:30:00|02-29 23:59:59|03-01 00:00:00|03-01 00:00:00|"
       "stopped 2004-03-01 00:00:01|"},
      {"recovered by the journal, English and German",
       {kHeader, "--", "started: 01/02/06, 10:00:00 (HPC is used)", "10:00:01, 2000.00 MHz",
        "interrupted: 01/02/06, 10:00:01 (the run ended without Stop)", kGermanHeader, "--",
        "gestartet: 01/02/06, 11:00:00 (HPC wird verwendet)",
        "unterbrochen: 01/02/06, 11:00:09 (Lauf ohne Stoppen beendet)"},
       "start 2006-01-02 10:00:00|01-02 10:00:01|interrupted 2006-01-02 10:00:01|"
       "start 2006-01-02 11:00:00|interrupted 2006-01-02 11:00:09|"},
      {"no closing line: at the next started line, at a header, at the end",
       {"started: 01/02/06, 10:00:00 (HPC is used)", "10:00:01, 2000.00 MHz",
        "started: 01/02/06, 10:05:00 (HPC is used)", kHeader, "--",
        "started: 01/02/06, 10:09:00 (HPC is used)", "10:09:01, 2000.00 MHz"},
       "start 2006-01-02 10:00:00|01-02 10:00:01|unclosed|start 2006-01-02 10:05:00|unclosed|"
       "start 2006-01-02 10:09:00|01-02 10:09:01|unclosed|"},
  };
  for (const Row& row : rows) EXPECT_EQ(row.events, Read(row.lines)) << row.what;
}

TEST(ReportLogReader, LinesThatBelongNowhereAreCountedAndTheRunGoesOn) {
  struct Row {
    const char* what;
    std::vector<std::string> lines;
    const char* events;
  } const rows[] = {
      {"a sample before any run, a rule alone, a note before no run",
       {"10:00:00, 2000.00 MHz", "--", "Idle thread method is used.", "10:00:01, 2000.00 MHz"},
       "?1|?2|?3|?4|"},
      {"a header without its rule, a stopped line outside a run",
       {kHeader, "started: 01/02/06, 10:00:00 (HPC is used)", "stopped: 01/02/06, 10:00:01",
        "stopped: 01/02/06, 10:00:02", "10:00:03, 2000.00 MHz"},
       "start 2006-01-02 10:00:00 +note|stopped 2006-01-02 10:00:01|?4|?5|"},
      {"damaged lines inside a run, a started line without its note among them",
       {"started: 01/02/06, 10:00:00 (HPC is used)", "10:00:01, 2000.0", "garbage", "",
        "started: 01/02/06, 10:00:01", "10:00:02, 2000.00 MHz", "stopped: 01/02/06, 10:00:03",
        "started: 01/02/06, 10:00:04 (HPC is used)"},
       "start 2006-01-02 10:00:00|?2|?3|?4|?5|01-02 10:00:02|stopped 2006-01-02 10:00:03|"
       "start 2006-01-02 10:00:04|unclosed|"},
      {"a line left at the end",
       {"started: 01/02/06, 10:00:00 (HPC is used)", "x"},
       "start 2006-01-02 10:00:00|?2|unclosed|"},
      {"a closing label seen once is no started line later",
       {"started: 01/02/06, 10:00:00 (HPC is used)",
        "interrupted: 01/02/06, 10:00:01 (the run ended without Stop)",
        "interrupted: 01/02/06, 10:00:02 (the run ended without Stop)"},
       "start 2006-01-02 10:00:00|interrupted 2006-01-02 10:00:01|?3|"},
  };
  for (const Row& row : rows) EXPECT_EQ(row.events, Read(row.lines)) << row.what;
}
