// The three message boxes through which the user learns of warnings and errors.
// A text argument is a string resource id (0xFFFF or less, MAKEINTRESOURCEA) or
// a pointer to text; null means no text.
#pragma once
#include <windows.h>

// Caption of every error box: fixed, not a resource.
constexpr const char kFatalErrorCaption[] = "Fatal Error";

// Asks a question with caption string 140; IDNO without a box when there is no text.
int WarningBox(LPCSTR text, UINT style);
// Shows an error; always returns E_FAIL.
HRESULT FatalErrorBox(LPCSTR text, UINT style);
// Shows error message `textId` like FatalErrorBox, unless a box of that message
// is still open: a failure that repeats at every tick shows one box at a time.
void FatalErrorBoxUnlessOpen(UINT textId);
// Shows `format` (a resource id in practice) printed with `code`; returns `code`.
HRESULT ReportErrorCode(LPCSTR format, HRESULT code);
