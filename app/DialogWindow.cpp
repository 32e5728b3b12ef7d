#include "app/DialogWindow.h"

#include <memory>
#include <utility>
#include <vector>

#include "app/CriticalSection.h"
#include "app/portable/DialogAnswer.h"

namespace {
// Objects waiting for their window, one per creating thread.
struct CreationList {
  CriticalSection lock;
  std::vector<std::pair<DWORD, DialogWindow*>> pending;
};
std::unique_ptr<CreationList> g_creationList;

void PushPending(DialogWindow* object) {
  const CriticalSectionLock hold(g_creationList->lock);
  g_creationList->pending.emplace_back(GetCurrentThreadId(), object);
}

// Removes and returns the latest object registered by this thread, if any.
DialogWindow* TakePending(const DialogWindow* only = nullptr) {
  if (g_creationList == nullptr) return nullptr;
  DialogWindow* found = nullptr;
  const CriticalSectionLock hold(g_creationList->lock);
  auto& pending = g_creationList->pending;
  for (auto it = pending.rbegin(); it != pending.rend(); ++it) {
    if (it->first == GetCurrentThreadId() && (only == nullptr || it->second == only)) {
      found = it->second;
      pending.erase(std::next(it).base());
      break;
    }
  }
  return found;
}
}  // namespace

FrameworkModule::FrameworkModule(HINSTANCE) { g_creationList = std::make_unique<CreationList>(); }

FrameworkModule::~FrameworkModule() { g_creationList.reset(); }

DialogWindow::~DialogWindow() {
  if (window_ != nullptr) SetWindowLongPtrA(window_, DWLP_USER, 0);
}

DLGPROC DialogWindow::GetDialogProc() const { return &DialogWindow::DialogProc; }

void DialogWindow::OnFinalMessage() {}

INT_PTR DialogWindow::RunModal(HINSTANCE resources, UINT templateId, HWND owner) {
  if (g_creationList == nullptr) return -1;
  PushPending(this);
  const INT_PTR result =
      DialogBoxParamA(resources, MAKEINTRESOURCEA(templateId), owner, GetDialogProc(), 0);
  TakePending(this);  // still there when the dialog could not be created
  return result;
}

INT_PTR CALLBACK DialogWindow::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<DialogWindow*>(GetWindowLongPtrA(window, DWLP_USER));
  if (self == nullptr) {
    self = TakePending();
    if (self == nullptr) return FALSE;
    self->window_ = window;
    SetWindowLongPtrA(window, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
  }

  LRESULT result = 0;
  bool handled = false;
  try {
    handled = self->RouteMessage(message, wParam, lParam, result);
  } catch (...) {
    // Nothing may unwind into the dialog manager.
    handled = false;
  }

  if (message == WM_NCDESTROY) {
    SetWindowLongPtrA(window, DWLP_USER, 0);
    self->window_ = nullptr;
    self->OnFinalMessage();
  }
  if (!handled) return FALSE;
  if (ReturnsResultDirectly(message)) return static_cast<INT_PTR>(result);
  SetWindowLongPtrA(window, DWLP_MSGRESULT, result);
  return TRUE;
}
