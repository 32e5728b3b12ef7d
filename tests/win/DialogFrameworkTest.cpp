// The dialog framework: binding from the first message on, and the answer rule.
#include <gtest/gtest.h>

#include <vector>

#include "app/DialogWindow.h"
#include "res/resource.h"

namespace {
constexpr UINT kProbe = WM_APP;
constexpr UINT kHandled = WM_APP + 1;
constexpr UINT kDeclined = WM_APP + 2;

class RecordingDialog : public DialogWindow {
 public:
  bool RouteMessage(UINT message, WPARAM, LPARAM, LRESULT& result) override {
    seen.push_back({message, Window()});
    switch (message) {
      case WM_INITDIALOG:
        PostMessageA(Window(), kProbe, 0, 0);
        result = FALSE;  // returned as it is: no default focus
        return true;
      case kProbe:
        handledAnswer = SendMessageA(Window(), kHandled, 0, 0);
        declinedAnswer = SendMessageA(Window(), kDeclined, 0, 0);
        EndDialog(Window(), 7);
        result = 0;
        return true;
      case kHandled:
        result = 42;
        return true;
      default:
        return false;
    }
  }
  void OnFinalMessage() override { finalMessageSeen = true; }

  struct Seen {
    UINT message;
    HWND window;
  };
  std::vector<Seen> seen;
  LRESULT handledAnswer = -1;
  LRESULT declinedAnswer = -1;
  bool finalMessageSeen = false;
};
}  // namespace

TEST(DialogFramework, BindsTheObjectFromTheFirstMessageAndAnswersByTheRule) {
  RecordingDialog dialog;
  const INT_PTR endCode =
      dialog.RunModal(GetModuleHandleA(nullptr), IDD_ABOUTBOX, nullptr);
  EXPECT_EQ(7, endCode);
  ASSERT_FALSE(dialog.seen.empty());
  // Every message, the first one included, found the object bound to its window.
  const HWND window = dialog.seen.front().window;
  EXPECT_NE(nullptr, window);
  for (const auto& seen : dialog.seen) EXPECT_EQ(window, seen.window);
  bool initSeen = false;
  for (const auto& seen : dialog.seen) initSeen |= seen.message == WM_INITDIALOG;
  EXPECT_TRUE(initSeen);
  EXPECT_EQ(42, dialog.handledAnswer);  // through DWLP_MSGRESULT
  EXPECT_EQ(0, dialog.declinedAnswer);  // left to the dialog manager
  EXPECT_TRUE(dialog.finalMessageSeen);
  EXPECT_EQ(nullptr, dialog.Window());
}

TEST(DialogFramework, ATemplateThatIsMissingEndsWithMinus1) {
  RecordingDialog dialog;
  EXPECT_EQ(-1, dialog.RunModal(GetModuleHandleA(nullptr), 4242, nullptr));
  EXPECT_TRUE(dialog.seen.empty());
  // The object is not left waiting: the next dialog binds a new one.
  RecordingDialog next;
  EXPECT_EQ(7, next.RunModal(GetModuleHandleA(nullptr), IDD_ABOUTBOX, nullptr));
  EXPECT_TRUE(dialog.seen.empty());
}
