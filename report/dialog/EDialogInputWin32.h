// What the error dialog and the reproduce request do between the user's actions: count the
// seconds without input until they close themselves, and keep the dialog in front of the
// program's own windows.
#pragma once

#include "platform/win/WinApi.h"

#include <vector>

#include "platform/win/UniqueHandle.h"

// Counts whole seconds without keyboard, mouse or command input to a dialog or any window
// inside it. Input is seen by a message hook of the dialog's thread, so the pages, lists and
// edits of the dialog count as well.
class TDialogIdleWatch {
 public:
  TDialogIdleWatch() = default;
  TDialogIdleWatch(const TDialogIdleWatch&) = delete;
  TDialogIdleWatch& operator=(const TDialogIdleWatch&) = delete;
  ~TDialogIdleWatch() { Stop(); }

  // Does nothing when timeoutSeconds is 0 or less. timerId: a timer of the dialog, whose
  // WM_TIMER goes to Tick.
  void Start(HWND dialog, int timeoutSeconds, UINT_PTR timerId);
  void Stop();
  void Reset() { seconds_ = 0; }
  // One second has passed; true when the dialog has gone without input for the whole time.
  bool Tick();
  bool Running() const { return static_cast<bool>(timer_); }

 private:
  static LRESULT CALLBACK InputHook(int code, WPARAM wParam, LPARAM lParam);
  HWND dialog_ = nullptr;
  int limit_ = 0;
  int seconds_ = 0;
  UniqueHook hook_;
  UniqueTimer timer_;
  TDialogIdleWatch* previous_ = nullptr;
};

// Brings the dialog back when one of the process's windows that existed when it opened takes
// the foreground (windows opened later, a mail program's for one, are left alone).
class TFocusKeeper {
 public:
  void Start(HWND dialog, UINT_PTR timerId, int intervalMs);
  void Stop() { timer_.reset(); }
  void Check(bool topMost) const;

 private:
  static BOOL CALLBACK ListWindow(HWND window, LPARAM self);
  HWND dialog_ = nullptr;
  std::vector<HWND> listed_;
  UniqueTimer timer_;
};
