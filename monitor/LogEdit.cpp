// The one way text reaches the log: the run's text keeps every line, the log
// edit shows the newest of them with CR LF, the one line end it breaks at on
// every Windows ("a hard line break consists of one carriage return and a
// linefeed", the multiline edit control's documentation).
#include <string>
#include <string_view>

#include "app/ResourceStrings.h"
#include "monitor/MonitorDialog.h"
#include "monitor/portable/JournalText.h"
#include "res/resource.h"

namespace {
// The control's own length in characters: the ANSI length of a long log costs
// a conversion of the whole text on every line. Windows 98 and Me export the
// wide function as a stub that gives 0; their edit control holds ANSI text, so
// its ANSI length costs nothing there.
int EditLength(HWND edit) {
  const int length = GetWindowTextLengthW(edit);
  return length != 0 ? length : GetWindowTextLengthA(edit);
}

// `text` in the same characters as EditLength counts them.
int EditUnits(HWND edit, const std::string& text) {
  const int bytes = static_cast<int>(text.size());
  if (GetWindowTextLengthW(edit) == 0) return bytes;
  return MultiByteToWideChar(CP_ACP, 0, text.data(), bytes, nullptr, 0);
}

void AppendToEdit(HWND edit, const std::string& text) {
  const int length = EditLength(edit);
  SendMessageA(edit, EM_SETSEL, static_cast<WPARAM>(length), length);
  SendMessageA(edit, EM_SCROLLCARET, 0, 0);
  SendMessageA(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
}

// Replaces `gone`, the text at the top of the edit, by `note`: the edit
// measures again only what changed.
void ReplaceTop(HWND edit, const std::string& gone, const std::string& note) {
  SendMessageA(edit, EM_SETSEL, 0, EditUnits(edit, gone));
  SendMessageA(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(note.c_str()));
}
}  // namespace

void MonitorDialog::AppendLogText(const char* text) {
  const std::string_view appended(text);
  const size_t shownBefore = logWindow.ShownBytes();
  const bool noteShown = logWindow.EarlierLinesLeft();
  runText.Append(appended);
  const size_t dropped = logWindow.Append(appended, LogWindowBoundsFor(isNt != 0));
  if (dropped == 0) {
    AppendToEdit(logEdit, WithCrLf(appended));
  } else {
    const std::string note = WindowText(LoadResourceString(IDS_EARLIER_LINES_NOTE), "");
    if (dropped < shownBefore) {
      // Older lines leave at the top, before the new ones come, so that the
      // edit never holds more than its bound.
      const size_t goneFrom = runText.Size() - appended.size() - shownBefore;
      ReplaceTop(logEdit, (noteShown ? note : "") + WithCrLf(runText.Slice(goneFrom, dropped)),
                 note);
      AppendToEdit(logEdit, WithCrLf(appended));
    } else {
      // A text longer than the window: it takes the edit's place.
      SetWindowTextA(logEdit, (note + WithCrLf(runText.Tail(logWindow.ShownBytes()))).c_str());
      SendMessageA(logEdit, EM_SETSEL, EditLength(logEdit), EditLength(logEdit));
      SendMessageA(logEdit, EM_SCROLLCARET, 0, 0);
    }
  }
  WriteToJournal(text);
}

std::string MonitorDialog::LogText() const { return runText.Text(); }
