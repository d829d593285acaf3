// The send-progress dialog "OZ_SERVER": a status line and a progress bar, shown on a thread of
// its own while a report goes out by SMTP or over the web. The delivery thread talks to it
// only through synchronous window messages.
#pragma once

#include "platform/win/WinApi.h"

#include <atomic>
#include <functional>
#include <string>

#include "delivery/mail/ESendStatus.h"
#include "platform/win/UniqueHandle.h"

inline constexpr UINT SendDialogFinishedMessage = WM_USER + 1234;  // 2258
inline constexpr int SendDialogStatusItem = 100;
inline constexpr int SendDialogProgressItem = 101;
inline constexpr const char* SendDialogTemplate = "OZ_SERVER";

class TSendProgress final : public ISendStatus {
 public:
  // text: the customised texts (75 the caption, 76 the "Message" of the status prefix).
  // allowed: whether this delivery may show the dialog at all (sfShowSendDialog, a channel,
  // a window program). bannerLook: the caption bar painted as the error dialog's banner
  // (dfBannerLook). module: where the template is (this program when null).
  TSendProgress(std::function<std::string(int)> text, bool allowed, bool bannerLook,
                HMODULE module = nullptr);
  TSendProgress(const TSendProgress&) = delete;
  TSendProgress& operator=(const TSendProgress&) = delete;
  // Closes a dialog still showing and waits for its thread.
  ~TSendProgress() override;

  // Clears the dialog state and, when allowed, starts the dialog's thread and waits until the
  // dialog is up (or could not be made).
  ISendStatus& StartSendDialog();

  bool DialogShowing() override { return window_.load() != nullptr; }
  void SetSendCounters(int current, int count) override;
  void SetSendStatus(const std::string& text) override;
  void SetSendProgress(int percent) override;
  void EndSendDialog() override;

  HWND Window() const { return window_.load(); }
  // Whether the dialog has painted itself since it was started.
  bool Painted() const { return painted_.load(); }

 private:
  class TDialog;
  static DWORD WINAPI ThreadProc(void* self);
  void WaitForThread();

  std::function<std::string(int)> text_;
  bool allowed_;
  bool bannerLook_;
  HMODULE module_;
  UniqueKernelHandle thread_;
  std::atomic<HWND> window_{nullptr};
  std::atomic<bool> ready_{false};
  std::atomic<bool> painted_{false};
  int current_ = 0, count_ = 0;
};
