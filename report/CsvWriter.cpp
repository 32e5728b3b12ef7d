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

constexpr std::string_view kHeaderRow = "run,date_time,clock_mhz,load_percent,available_kb";
constexpr size_t kMostExtras = 4;

LoggedPieces CoreClockOnly(bool coreClock) {
  LoggedPieces columns;
  columns.coreClock = coreClock;
  return columns;
}
}  // namespace

CsvWriter::CsvWriter(std::FILE* file, bool coreClockColumn)
    : CsvWriter(file, CoreClockOnly(coreClockColumn)) {}

CsvWriter::CsvWriter(std::FILE* file, const LoggedPieces& columns)
    : file_(file), columns_(columns), buffer_(kBufferSize) {
  std::string header(kHeaderRow);
  if (columns.coreClock) header += ",core_clock_mhz";
  if (columns.limit) header += ",limit_percent";
  if (columns.temperature) header += ",temperature_c";
  if (columns.battery) header += ",on_battery";
  header += "\r\n";
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
  // The columns that only some logs have, in their order.
  std::string_view extra[kMostExtras];
  size_t extras = 0;
  size_t extraSize = 0;
  auto addColumn = [&](bool column, bool has, std::string_view text) {
    if (!column) return;
    extra[extras] = has ? text : std::string_view();
    extraSize += extra[extras++].size() + 1;
  };
  addColumn(columns_.coreClock, line.hasCoreClock, line.coreText);
  addColumn(columns_.limit, line.hasLimit, line.limitText);
  addColumn(columns_.temperature, line.hasTemperature, line.temperatureText);
  addColumn(columns_.battery, line.onBattery, "1");
  // Run number, date-time, the figures, their commas and CR LF.
  const size_t rowSize =
      10 + sizeof dateTime_ + line.mhzText.size() + load.size() + memory.size() + 6 + extraSize;
  if (buffer_.size() - used_ < rowSize) {
    Flush();
    if (rowSize > buffer_.size()) {
      WriteLongRow(run, line.mhzText, load, memory, extra, extras);
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
  for (size_t i = 0; i < extras; ++i) {
    *out++ = ',';
    out = CopyPiece(out, extra[i]);
  }
  *out++ = '\r';
  *out++ = '\n';
  used_ = static_cast<size_t>(out - buffer_.data());
  if (used_ >= kBufferSize - kRowRoom) Flush();
}

void CsvWriter::WriteLongRow(uint32_t run, std::string_view mhz, std::string_view load,
                             std::string_view memory, const std::string_view* extra,
                             size_t extras) {
  std::string row = std::to_string(run) + "," + std::string(dateTime_, sizeof dateTime_) + ",";
  row.append(mhz).append(",").append(load).append(",").append(memory);
  for (size_t i = 0; i < extras; ++i) row.append(",").append(extra[i]);
  row += "\r\n";
  if (std::fwrite(row.data(), 1, row.size(), file_) != row.size()) failed_ = true;
}

bool CsvWriter::Flush() {
  if (used_ > 0) {
    if (std::fwrite(buffer_.data(), 1, used_, file_) != used_) failed_ = true;
    used_ = 0;
  }
  return !failed_;
}

}  // namespace report
