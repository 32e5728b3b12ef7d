#include "report/CsvWriter.h"

#include "report/CivilTime.h"

namespace report {
namespace {
constexpr size_t kBufferSize = 1 << 16;
constexpr char kHeaderRow[] = "run,date_time,clock_mhz,load_percent,available_kb\r\n";
}  // namespace

CsvWriter::CsvWriter(std::FILE* file) : file_(file) {
  buffer_.reserve(kBufferSize + 256);
  Put(kHeaderRow);
}

CsvWriter::~CsvWriter() { Flush(); }

void CsvWriter::Put(std::string_view text) { buffer_.append(text.data(), text.size()); }

void CsvWriter::WriteRow(uint32_t run, int64_t seconds, const SampleLine& line) {
  char number[16];
  size_t length = 0;
  for (uint32_t value = run;; value /= 10) {
    number[length++] = static_cast<char>('0' + value % 10);
    if (value < 10) break;
  }
  while (length > 0) buffer_.push_back(number[--length]);
  buffer_.push_back(',');
  // The date part changes once a day; the time is written digit by digit.
  const int64_t day =
      seconds >= 0 ? seconds / kSecondsPerDay : -((-seconds + kSecondsPerDay - 1) / kSecondsPerDay);
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
  buffer_.append(dateTime_, sizeof dateTime_);
  buffer_.push_back(',');
  Put(line.mhzText);
  buffer_.push_back(',');
  if (line.hasLoad) Put(line.loadText);
  buffer_.push_back(',');
  if (line.hasMemory) Put(line.memoryText);
  buffer_.append("\r\n", 2);
  if (buffer_.size() >= kBufferSize) Flush();
}

bool CsvWriter::Flush() {
  if (!buffer_.empty()) {
    if (std::fwrite(buffer_.data(), 1, buffer_.size(), file_) != buffer_.size()) failed_ = true;
    buffer_.clear();
  }
  return !failed_;
}

}  // namespace report
