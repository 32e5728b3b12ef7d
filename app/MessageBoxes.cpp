#include "app/MessageBoxes.h"

#include <algorithm>
#include <string>
#include <vector>

#include "app/ResourceStrings.h"
#include "app/portable/ErrorCodes.h"
#include "app/portable/FormatText.h"
#include "res/resource.h"

namespace {
std::string ResolveText(LPCSTR text) {
  if (IS_INTRESOURCE(text)) return LoadResourceString(LOWORD(reinterpret_cast<ULONG_PTR>(text)));
  return text;
}
}  // namespace

int WarningBox(LPCSTR text, UINT style) {
  if (text == nullptr) return IDNO;
  const std::string message = ResolveText(text);
  const std::string caption = LoadResourceString(IDS_WARNING_CAPTION);
  return MessageBoxA(nullptr, message.c_str(), caption.c_str(), style);
}

HRESULT FatalErrorBox(LPCSTR text, UINT style) {
  if (text != nullptr) {
    const std::string message = ResolveText(text);
    MessageBoxA(nullptr, message.c_str(), kFatalErrorCaption, style);
  }
  return codes::kFail;
}

void FatalErrorBoxUnlessOpen(UINT textId) {
  // Boxes run on the dialog's thread only; a handful of message ids at most.
  static std::vector<UINT> open;
  if (std::find(open.begin(), open.end(), textId) != open.end()) return;
  open.push_back(textId);
  FatalErrorBox(MAKEINTRESOURCEA(textId), MB_OK | MB_ICONERROR);
  open.erase(std::find(open.begin(), open.end(), textId));
}

HRESULT ReportErrorCode(LPCSTR format, HRESULT code) {
  // A format from a language module is checked before it is given to printf.
  const std::string pattern = IS_INTRESOURCE(format)
                                  ? LoadFormatString(LOWORD(reinterpret_cast<ULONG_PTR>(format)))
                                  : std::string(format != nullptr ? format : "");
  const std::string message = FormatText(pattern.c_str(), static_cast<unsigned long>(code));
  FatalErrorBox(message.c_str(), MB_OK | MB_ICONERROR);
  return code;
}
