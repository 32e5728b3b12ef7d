// Result codes in the HRESULT convention, usable without <windows.h>.
#pragma once
#include <cstdint>

namespace codes {
constexpr int32_t kOk = 0;
constexpr int32_t kFalse = 1;  // an option bit made the operation do nothing
constexpr int32_t kFail = static_cast<int32_t>(0x80004005u);
constexpr int32_t kPointer = static_cast<int32_t>(0x80004003u);

// The platform's HRESULT_FROM_WIN32: positive error numbers move into the
// Win32 facility, 0 and negative values pass through.
constexpr int32_t FromWin32(int32_t error) {
  return error > 0 ? static_cast<int32_t>(0x80070000u | (static_cast<uint32_t>(error) & 0xFFFFu))
                   : error;
}

constexpr bool Failed(int32_t code) { return code < 0; }
}  // namespace codes

// The result code after a failed platform call whose error number was read as
// `lastError`: the Win32 mapping, or E_FAIL when that would not be a failure
// (no error number set), so that callers checking for failure see one.
constexpr int32_t FailureFromLastError(uint32_t lastError) {
  const int32_t code = codes::FromWin32(static_cast<int32_t>(lastError));
  return codes::Failed(code) ? code : codes::kFail;
}
