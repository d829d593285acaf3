#include "report/dialog/EDialogInputWin32.h"

#include <algorithm>

namespace {

// The watch of the dialog this thread shows; a dialog opened over another one (the reproduce
// request never is, but a handler may) watches for itself and gives the hook back on closing.
thread_local TDialogIdleWatch* currentWatch = nullptr;

bool IsInput(UINT message) {
  return (message >= WM_KEYFIRST && message <= WM_KEYLAST) ||
         (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) ||
         (message >= WM_NCMOUSEMOVE && message <= WM_NCMBUTTONDBLCLK);
}

}  // namespace

void TDialogIdleWatch::Start(HWND dialog, int timeoutSeconds, UINT_PTR timerId) {
  Stop();
  if (timeoutSeconds <= 0) return;
  dialog_ = dialog;
  limit_ = timeoutSeconds;
  seconds_ = 0;
  previous_ = currentWatch;
  currentWatch = this;
  hook_.reset(SetWindowsHookExA(WH_GETMESSAGE, &TDialogIdleWatch::InputHook, nullptr,
                                GetCurrentThreadId()));
  if (SetTimer(dialog, timerId, 1000, nullptr)) timer_ = UniqueTimer(dialog, timerId);
}

void TDialogIdleWatch::Stop() {
  timer_.reset();
  hook_.reset();
  if (currentWatch == this) currentWatch = previous_;
  previous_ = nullptr;
}

bool TDialogIdleWatch::Tick() { return limit_ > 0 && ++seconds_ >= limit_; }

LRESULT CALLBACK TDialogIdleWatch::InputHook(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION && wParam == PM_REMOVE && currentWatch) {
    const MSG* msg = reinterpret_cast<const MSG*>(lParam);
    HWND dialog = currentWatch->dialog_;
    if (IsInput(msg->message) && (msg->hwnd == dialog || IsChild(dialog, msg->hwnd)))
      currentWatch->Reset();
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

void TFocusKeeper::Start(HWND dialog, UINT_PTR timerId, int intervalMs) {
  dialog_ = dialog;
  listed_.clear();
  EnumWindows(&TFocusKeeper::ListWindow, reinterpret_cast<LPARAM>(this));
  if (SetTimer(dialog, timerId, static_cast<UINT>(intervalMs), nullptr))
    timer_ = UniqueTimer(dialog, timerId);
}

BOOL CALLBACK TFocusKeeper::ListWindow(HWND window, LPARAM self) {
  auto* keeper = reinterpret_cast<TFocusKeeper*>(self);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process == GetCurrentProcessId() && window != keeper->dialog_)
    keeper->listed_.push_back(window);
  return TRUE;
}

void TFocusKeeper::Check(bool topMost) const {
  if (topMost) return;
  HWND foreground = GetForegroundWindow();
  if (!foreground || foreground == dialog_) return;
  if (std::find(listed_.begin(), listed_.end(), foreground) != listed_.end())
    SetForegroundWindow(dialog_);
}
