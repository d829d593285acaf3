#include "delivery/send/ESendDialogWin32.h"

#include <commctrl.h>

#include "platform/win/ModalDialog.h"
#include "report/dialog/EDialogCaptionWin32.h"
#include "report/dialog/EDialogFontWin32.h"

namespace {

constexpr int TextCaption = 75;
constexpr int TextMessage = 76;
// Posted to itself once the dialog is made: when it arrives, the dialog's own message loop
// runs, so the sender's synchronous messages are answered from then on.
constexpr UINT SendDialogRunningMessage = WM_APP + 1;

}  // namespace

class TSendProgress::TDialog final : public TModalDialog {
 public:
  explicit TDialog(TSendProgress& owner) : owner_(owner) {}

 protected:
  bool OnInit() override {
    HWND dialog = Handle();
    const std::string caption = owner_.text_(TextCaption);
    captionFont_ = MakeDialogFont(dialog, 100, FW_BOLD);
    look_.Attach(dialog, owner_.bannerLook_, caption, captionFont_.get());
    statusFont_ = MakeDialogFont(dialog);
    SendMessageA(Item(SendDialogStatusItem), WM_SETFONT,
                 reinterpret_cast<WPARAM>(statusFont_.get()), FALSE);
    SendMessageA(Item(SendDialogProgressItem), PBM_SETRANGE, 0, MAKELPARAM(0, 100));
    SetWindowPos(dialog, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    // The caption comes last: whoever finds the window by it finds it complete and on top.
    SetWindowTextA(dialog, caption.c_str());
    owner_.window_ = dialog;
    PostMessageA(dialog, SendDialogRunningMessage, 0, 0);
    return true;
  }
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override {
    if (look_.Message(message, wParam, lParam, result)) return true;
    switch (message) {
      case SendDialogRunningMessage:
      case WM_SETFOCUS:
        owner_.ready_ = true;
        return true;
      case WM_PAINT:
        owner_.painted_ = true;
        return false;
      case SendDialogFinishedMessage:
        End(IDOK);
        result = TRUE;
        return true;
      default:
        return false;
    }
  }
  void OnDestroy() override {
    SetWindowPos(Handle(), HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    look_.Detach();
  }

 private:
  TSendProgress& owner_;
  // The fonts outlive the window and its items: the dialog object lives until its thread is
  // done with it.
  UniqueFont captionFont_;
  UniqueFont statusFont_;
  TCaptionLook look_;
};

TSendProgress::TSendProgress(std::function<std::string(int)> text, bool allowed, bool bannerLook,
                             HMODULE module)
    : text_(std::move(text)), allowed_(allowed), bannerLook_(bannerLook), module_(module) {}

TSendProgress::~TSendProgress() {
  EndSendDialog();
  WaitForThread();
}

DWORD WINAPI TSendProgress::ThreadProc(void* parameter) {
  auto& self = *static_cast<TSendProgress*>(parameter);
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&controls);
  TDialog dialog(self);
  const INT_PTR result = dialog.ShowModal(nullptr, SendDialogTemplate, self.module_);
  self.window_ = nullptr;
  // A dialog that could not be made ends the starter's wait as well.
  self.ready_ = true;
  return result == -1 ? 1 : 0;
}

void TSendProgress::WaitForThread() {
  if (thread_) WaitForSingleObject(thread_.get(), INFINITE);
  thread_.reset();
}

ISendStatus& TSendProgress::StartSendDialog() {
  EndSendDialog();
  WaitForThread();
  window_ = nullptr;
  ready_ = false;
  painted_ = false;
  current_ = count_ = 0;
  if (!allowed_) return *this;
  thread_.reset(CreateThread(nullptr, 0, &TSendProgress::ThreadProc, this, CREATE_SUSPENDED,
                             nullptr));
  if (!thread_) return *this;
  SetThreadPriority(thread_.get(), THREAD_PRIORITY_HIGHEST);
  ResumeThread(thread_.get());
  while (!ready_) Sleep(50);
  return *this;
}

void TSendProgress::SetSendCounters(int current, int count) {
  current_ = current;
  count_ = count;
}

void TSendProgress::SetSendStatus(const std::string& text) {
  if (HWND window = window_.load())
    SendDlgItemMessageA(
        window, SendDialogStatusItem, WM_SETTEXT, 0,
        reinterpret_cast<LPARAM>(SendStatusLine(text_(TextMessage), current_, count_, text).c_str()));
}

void TSendProgress::SetSendProgress(int percent) {
  if (HWND window = window_.load())
    SendDlgItemMessageA(window, SendDialogProgressItem, PBM_SETPOS, static_cast<WPARAM>(percent), 0);
}

void TSendProgress::EndSendDialog() {
  if (HWND window = window_.exchange(nullptr)) SendMessageA(window, SendDialogFinishedMessage, 0, 0);
}
