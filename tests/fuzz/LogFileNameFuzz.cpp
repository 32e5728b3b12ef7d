// The program's own path (from the module file name, in the ANSI code page) split
// into its folder: any bytes, under any set of double-byte lead bytes.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "monitor/portable/LogFileName.h"
#include "tests/fuzz/FuzzCheck.h"

namespace {
// The first 32 bytes of the input choose which bytes lead a double-byte character;
// as in every ANSI code page, only bytes from 0x81 up can.
uint8_t g_leadBytes[32];
bool IsLeadByte(unsigned char c) { return c > 0x80 && ((g_leadBytes[c / 8] >> (c % 8)) & 1u) != 0; }

// The folder part, walking the text as the code page would.
size_t ExpectedLength(std::string_view path) {
  size_t length = 0;
  size_t i = 0;
  while (i < path.size()) {
    const unsigned char c = static_cast<unsigned char>(path[i]);
    if (c == '\\') length = i + 1;
    i += IsLeadByte(c) ? 2 : 1;
  }
  return length;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < sizeof g_leadBytes) return 0;
  for (size_t i = 0; i < sizeof g_leadBytes; ++i) g_leadBytes[i] = data[i];
  const std::string_view path(reinterpret_cast<const char*>(data) + sizeof g_leadBytes,
                              size - sizeof g_leadBytes);

  const size_t length = DirectoryLength(path, IsLeadByte);
  FUZZ_CHECK(length <= path.size());
  FUZZ_CHECK(length == 0 || path[length - 1] == '\\');
  FUZZ_CHECK(length == ExpectedLength(path));
  return 0;
}
