#include "report/CsvWriter.h"

#include <cstring>

#include "report/Arithmetic.h"
#include "report/CivilTime.h"

namespace report {
namespace {
// An empty piece may have no data at all, which memcpy must not be given.
char* CopyPiece(char* out, std::string_view piece) {
  if (!piece.empty()) std::memcpy(out, piece.data(), piece.size());
  return out + piece.size();
}

constexpr char kHeaderRow[] = "run,date_time,clock_mhz,load_percent,available_kb\r\n";
constexpr char kCoreClockHeaderRow[] =
    "run,date_time,clock_mhz,load_percent,available_kb,core_clock_mhz\r\n";
}  // namespace

CsvWriter::CsvWriter(std::FILE* file, bool coreClockColumn)
    : file_(file), coreClockColumn_(coreClockColumn), buffer_(kBufferSize) {
  const std::string_view header = coreClockColumn ? kCoreClockHeaderRow : kHeaderRow;
  std::memcpy(buffer_.data(), header.data(), header.size());
  used_ = header.size();
}

CsvWriter::~CsvWriter() { Flush(); }

void CsvWriter::WriteRow(uint32_t run, int64_t seconds, const SampleLine& line) {
  // The date part changes once a day; the time is written digit by digit.
  const int64_t day = FloorDiv(seconds, kSecondsPerDay);
  if (day != cachedDay_) {
    WriteIsoDateTime(seconds, dateTime_);
    cachedDay_ = day;
  }
  const int64_t second = seconds - day * kSecondsPerDay;
  dateTime_[11] = static_cast<char>('0' + second / 36000);
  dateTime_[12] = static_cast<char>('0' + second / 3600 % 10);
  dateTime_[14] = static_cast<char>('0' + second / 600 % 6);
  dateTime_[15] = static_cast<char>('0' + second / 60 % 10);
  dateTime_[17] = static_cast<char>('0' + second % 60 / 10);
  dateTime_[18] = static_cast<char>('0' + second % 10);

  const std::string_view load = line.hasLoad ? line.loadText : std::string_view();
  const std::string_view memory = line.hasMemory ? line.memoryText : std::string_view();
  const std::string_view core = line.hasCoreClock ? line.coreText : std::string_view();
  // Run number, date-time, the figures, their commas and CR LF.
  const size_t rowSize = 10 + sizeof dateTime_ + line.mhzText.size() + load.size() + memory.size() +
                         6 + (coreClockColumn_ ? core.size() + 1 : 0);
  if (buffer_.size() - used_ < rowSize) {
    Flush();
    if (rowSize > buffer_.size()) {
      WriteLongRow(run, line.mhzText, load, memory, core);
      return;
    }
  }
  char* out = buffer_.data() + used_;
  char digits[10];
  size_t length = 0;
  for (uint32_t value = run;; value /= 10) {
    digits[length++] = static_cast<char>('0' + value % 10);
    if (value < 10) break;
  }
  while (length > 0) *out++ = digits[--length];
  *out++ = ',';
  std::memcpy(out, dateTime_, sizeof dateTime_);
  out += sizeof dateTime_;
  *out++ = ',';
  out = CopyPiece(out, line.mhzText);
  *out++ = ',';
  out = CopyPiece(out, load);
  *out++ = ',';
  out = CopyPiece(out, memory);
  if (coreClockColumn_) {
    *out++ = ',';
    out = CopyPiece(out, core);
  }
  *out++ = '\r';
  *out++ = '\n';
  used_ = static_cast<size_t>(out - buffer_.data());
  if (used_ >= kBufferSize - kRowRoom) Flush();
}

void CsvWriter::WriteLongRow(uint32_t run, std::string_view mhz, std::string_view load,
                             std::string_view memory, std::string_view core) {
  const std::string start =
      std::to_string(run) + "," + std::string(dateTime_, sizeof dateTime_) + ",";
  const std::string_view coreComma = coreClockColumn_ ? "," : "";
  if (!coreClockColumn_) core = {};
  for (std::string_view piece :
       {std::string_view(start), mhz, std::string_view(","), load, std::string_view(","), memory,
        coreComma, core, std::string_view("\r\n")}) {
    if (std::fwrite(piece.data(), 1, piece.size(), file_) != piece.size()) failed_ = true;
  }
}

bool CsvWriter::Flush() {
  if (used_ > 0) {
    if (std::fwrite(buffer_.data(), 1, used_, file_) != used_) failed_ = true;
    used_ = 0;
  }
  return !failed_;
}

}  // namespace report
