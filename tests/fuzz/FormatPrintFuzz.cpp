// A module's format text goes to printf only when ChooseSafeFormat accepts it
// against the program's own. Here every accepted text is printed with exactly the
// arguments the program passes for that string, under the sanitizers: no accepted
// text may read an argument that is not there or of another type.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include "app/portable/FormatCheck.h"
#include "monitor/portable/LogFileName.h"
#include "monitor/portable/LogText.h"
#include "tests/fuzz/FuzzCheck.h"
#include "tests/fuzz/ProgramTexts.h"

namespace {
constexpr size_t kTextCount = sizeof kProgramTexts / sizeof kProgramTexts[0];

bool Is(const ProgramText& own, const char* id) { return std::strcmp(own.id, id) == 0; }

// The printed text, made the way the program makes it from this string.
std::string PrintLikeTheProgram(const ProgramText& own, const std::string& format) {
  if (Is(own, "IDS_LOG_NAME_FORMAT")) {
    const LocalTime time{2024, 12, 31, 23, 59, 58};
    return LogFileBaseName(format, time);
  }
  if (Is(own, "IDS_LOG_HEADER_FORMAT")) {
    return FormatText(format.c_str(), "Tue Dec 31 23:59:58 2024");
  }
  if (Is(own, "IDS_STARTED_FORMAT")) {
    return FormatText(format.c_str(), "12/31/24", "23:59:58", "(MM timer is used)");
  }
  if (Is(own, "IDS_STOPPED_FORMAT") || Is(own, "IDS_INTERRUPTED_FORMAT")) {
    return FormatText(format.c_str(), "12/31/24", "23:59:58");
  }
  if (Is(own, "IDS_LOG_FOLDER_FORMAT")) {
    return FormatText(format.c_str(), "C:\\Users\\me\\Documents\\Tervo");
  }
  if (Is(own, "IDS_RECOVERED_FORMAT")) {
    return FormatText(format.c_str(), "C:\\Tools\\log_20241231_235958.txt");
  }
  // Every message box text goes through ReportErrorCode's printf with the code.
  const unsigned long code = 0x80004005ul;
  const int length = std::snprintf(nullptr, 0, format.c_str(), code);
  FUZZ_CHECK(length >= 0);
  std::string message(static_cast<size_t>(length), '\0');
  std::snprintf(message.data(), message.size() + 1, format.c_str(), code);
  return message;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const ProgramText& own = kProgramTexts[data[0] % kTextCount];
  const std::string reference(own.text, own.size);
  const std::string candidate(reinterpret_cast<const char*>(data) + 1, size - 1);
  const std::string& format = ChooseSafeFormat(candidate, reference);
  if (&format != &candidate) return 0;

  const std::string printed = PrintLikeTheProgram(own, format);
  // printf stops at a NUL, so the text printed is at most that of the part before it,
  // each conversion widened to what its argument can print.
  const size_t literal = std::strlen(format.c_str());
  FUZZ_CHECK(printed.size() <= literal + 64 * ParseConversions(format)->size());
  return 0;
}
