// The check of format texts from language modules, fed any bytes: it must never
// read outside the text, and what it accepts must really be the program's own
// conversions.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "app/portable/FormatCheck.h"
#include "tests/fuzz/FuzzCheck.h"

namespace {
// Each conversion it reports is one complete specification: a '%', then no
// second '%' or NUL, ending in a conversion letter.
void CheckConversions(const std::vector<std::string>& conversions) {
  for (const std::string& conversion : conversions) {
    FUZZ_CHECK(conversion.size() >= 2 && conversion.front() == '%');
    FUZZ_CHECK(conversion.find('%', 1) == std::string::npos);
    FUZZ_CHECK(conversion.find('\0') == std::string::npos);
    FUZZ_CHECK(std::string_view("diouxXeEfFgGaAcspn").find(conversion.back()) !=
               std::string_view::npos);
  }
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The first byte splits the rest into a candidate and a reference.
  if (size == 0) return 0;
  const std::string_view rest(reinterpret_cast<const char*>(data) + 1, size - 1);
  const size_t split = data[0] % (rest.size() + 1);
  const std::string candidate(rest.substr(0, split));
  const std::string reference(rest.substr(split));

  const auto theirs = ParseConversions(candidate);
  const auto ours = ParseConversions(reference);
  if (theirs) CheckConversions(*theirs);
  if (ours) CheckConversions(*ours);

  // A well-formed text matches itself; a malformed one matches nothing.
  FUZZ_CHECK(HasSameConversions(candidate, candidate) == theirs.has_value());
  const bool same = HasSameConversions(candidate, reference);
  FUZZ_CHECK(same == (theirs && ours && *theirs == *ours));
  FUZZ_CHECK(same == HasSameConversions(reference, candidate));

  const std::string& chosen = ChooseSafeFormat(candidate, reference);
  FUZZ_CHECK(&chosen == (same ? &candidate : &reference));
  return 0;
}
