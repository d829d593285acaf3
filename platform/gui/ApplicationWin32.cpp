#include "platform/win/WinApi.h"

#include <algorithm>
#include <cctype>

#include "platform/gui/ApplicationWin32.h"
#include "platform/gui/ControlsWin32.h"
#include "platform/gui/FormsWin32.h"
#include "platform/gui/StdCtrlsWin32.h"
#include "platform/win/WindowClass.h"

namespace {

// The hint of a control is its own, or the first non-empty one of its parents.
std::string HintAt(HWND window) {
  for (TControl* c = TControl::FromHandle(window); c; c = c->Parent())
    if (!c->Hint.empty()) return GetLongHint(c->Hint);
  return {};
}

// Alt+key on a form: the label whose caption marks that key hands the focus to its
// FocusControl. True when one did.
bool FocusByMnemonic(TControl* root, char key) {
  for (int i = 0; i < root->ComponentCount(); ++i) {
    auto* control = dynamic_cast<TControl*>(root->Components(i));
    if (!control) continue;
    auto* label = dynamic_cast<TLabel*>(control);
    if (label && label->FocusControl && label->ShowAccelChar && label->Visible() &&
        MnemonicOf(label->Caption()) == key && label->FocusControl->Enabled()) {
      label->FocusControl->SetFocus();
      return true;
    }
    if (FocusByMnemonic(control, key)) return true;
  }
  return false;
}

}  // namespace

TApplicationObject* TApplicationAccess::operator->() const {
  // Never freed: forms and hooks may still use it while the process ends.
  static TWinApplication* const instance = new TWinApplication;
  return instance;
}

TApplication* TheApplication() { return Application; }

HWND TWinApplication::Handle() {
  if (!handle_) {
    InitGuiRuntime();
    RegisterWindowClass("DmApplication", DefWindowProcA);
    handle_ = CreateWindowExA(0, "DmApplication", Title().c_str(),
                              WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, 0, 0, 0, 0,
                              nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  }
  return handle_;
}

void TWinApplication::TitleChanged() {
  if (handle_) SetWindowTextA(handle_, Title().c_str());
}

void TApplication::ShowException(std::exception_ptr E) noexcept {
  try {
    const std::string text = ExceptionDisplayText(E);
    HWND owner = GetActiveWindow();
    MessageBoxA(owner ? owner : Application->Handle(), text.c_str(), title_.c_str(),
                MB_OK | MB_ICONERROR);
  } catch (...) {
  }
}

void TWinApplication::AdoptForm(TForm* form) {
  forms_.push_back(form);
  if (!mainForm_) mainForm_ = form;
  form->FinishCreation();
}

void TWinApplication::Deliver(MSG& msg) {
  if (msg.message == WM_MOUSEMOVE || msg.message == WM_NCMOUSEMOVE) SetHint(HintAt(msg.hwnd));
  if (msg.hwnd) {
    HWND root = GetAncestor(msg.hwnd, GA_ROOT);
    if (msg.message == WM_SYSCHAR)
      if (TControl* form = TControl::FromHandle(root))
        if (FocusByMnemonic(form, static_cast<char>(std::tolower(static_cast<int>(msg.wParam)))))
          return;
    if (root && dynamic_cast<TForm*>(TControl::FromHandle(root)) && IsDialogMessageA(root, &msg))
      return;
  }
  TranslateMessage(&msg);
  DispatchMessageA(&msg);
}

bool TWinApplication::HandleMessage() {
  MSG msg;
  const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
  if (got == 0) {
    terminated_ = true;
    PostQuitMessage(static_cast<int>(msg.wParam));  // outer loops see it too
    return false;
  }
  if (got < 0) return false;
  Deliver(msg);
  return true;
}

void TWinApplication::ProcessMessages() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      terminated_ = true;
      PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    Deliver(msg);
  }
}

void TWinApplication::Run() {
  if (mainForm_ && mainForm_->DesignVisible()) mainForm_->Show();
  while (!terminated_ && HandleMessage()) {
  }
  DestroyForms();
}

void TWinApplication::Terminate() {
  if (!terminated_) PostQuitMessage(0);
  terminated_ = true;
}

void TWinApplication::DestroyForms() noexcept {
  while (!forms_.empty()) {
    TForm* form = forms_.back();
    forms_.pop_back();
    form->DoDestroy();
    if (form == mainForm_) mainForm_ = nullptr;
    Dispatch(this, [form] { delete form; });
  }
  // Quit messages of the loop that just ended must not stop a later one.
  MSG msg;
  while (PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
  }
  terminated_ = false;
}

void TWinApplication::ForgetForm(TForm* form) noexcept {
  forms_.erase(std::remove(forms_.begin(), forms_.end(), form), forms_.end());
  if (mainForm_ == form) mainForm_ = nullptr;
}

void TWinApplication::SetCursor(int index, HCURSOR cursor) {
  for (auto& entry : cursors_)
    if (entry.first == index) {
      entry.second = cursor;
      return;
    }
  cursors_.push_back({index, cursor});
}

HCURSOR TWinApplication::Cursor(int index) const {
  for (const auto& entry : cursors_)
    if (entry.first == index) return entry.second;
  return nullptr;
}
