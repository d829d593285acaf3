#include "platform/gui/FormsWin32.h"

#include <vector>

#include "platform/gui/StdCtrlsWin32.h"

namespace {

constexpr char kFormClass[] = "DmForm";

// The windows of this thread that a modal form disables, enabled again on every path.
class DisabledWindows {
 public:
  explicit DisabledWindows(HWND except) : except_(except) {
    EnumThreadWindows(GetCurrentThreadId(), &DisabledWindows::Visit,
                      reinterpret_cast<LPARAM>(this));
  }
  DisabledWindows(const DisabledWindows&) = delete;
  DisabledWindows& operator=(const DisabledWindows&) = delete;
  ~DisabledWindows() {
    for (HWND w : windows_) EnableWindow(w, TRUE);
  }

 private:
  static BOOL CALLBACK Visit(HWND w, LPARAM self) {
    auto* me = reinterpret_cast<DisabledWindows*>(self);
    if (w != me->except_ && IsWindowVisible(w) && IsWindowEnabled(w)) {
      EnableWindow(w, FALSE);
      me->windows_.push_back(w);
    }
    return TRUE;
  }
  HWND except_;
  std::vector<HWND> windows_;
};

}  // namespace

TForm::TForm() : TWinControl(nullptr) {
  visible_ = false;
  SetBounds(100, 100, 320, 240);
  RegisterControlClass(kFormClass, CS_DBLCLKS, nullptr);
  CreateHandle(kFormClass, Style(), ExStyle(), static_cast<HWND>(Application->Handle()));
}

TForm::~TForm() {
  DestroyComponents();
  Application->ForgetForm(this);
}

DWORD TForm::Style() const {
  DWORD style = WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
  if (borderStyle_ == bsNone) return style | WS_POPUP;
  style |= WS_CAPTION;
  if (borderIcons_ & biSystemMenu) {
    style |= WS_SYSMENU;
    if (borderStyle_ != bsDialog && borderStyle_ != bsToolWindow) {
      if (borderIcons_ & biMinimize) style |= WS_MINIMIZEBOX;
      if (borderIcons_ & biMaximize) style |= WS_MAXIMIZEBOX;
    }
  }
  if (borderStyle_ == bsSizeable) style |= WS_THICKFRAME;
  if (borderStyle_ == bsDialog) style |= DS_MODALFRAME;
  return style;
}

DWORD TForm::ExStyle() const {
  DWORD ex = WS_EX_CONTROLPARENT;
  if (borderStyle_ == bsDialog) ex |= WS_EX_DLGMODALFRAME;
  if (borderStyle_ == bsToolWindow) ex |= WS_EX_TOOLWINDOW;
  if (formStyle_ == fsStayOnTop) ex |= WS_EX_TOPMOST;
  return ex;
}

int TForm::ClientWidth() const {
  RECT r{};
  GetClientRect(handle_, &r);
  return r.right;
}

int TForm::ClientHeight() const {
  RECT r{};
  GetClientRect(handle_, &r);
  return r.bottom;
}

void TForm::SetClientSize(int width, int height) {
  RECT r{0, 0, width, height};
  AdjustWindowRectEx(&r, Style(), FALSE, ExStyle());
  SetBounds(Left(), Top(), r.right - r.left, r.bottom - r.top);
}

void TForm::ApplyStyle() {
  const int width = ClientWidth(), height = ClientHeight();
  const DWORD visible = GetWindowLongA(handle_, GWL_STYLE) & WS_VISIBLE;
  SetWindowLongA(handle_, GWL_STYLE, static_cast<LONG>(Style() | visible));
  SetWindowLongA(handle_, GWL_EXSTYLE, static_cast<LONG>(ExStyle() & ~WS_EX_TOPMOST));
  SetWindowPos(handle_, nullptr, 0, 0, 0, 0,
               SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  SetClientSize(width, height);
}

void TForm::SetBorderStyle(TFormBorderStyle value) {
  borderStyle_ = value;
  ApplyStyle();
}

void TForm::SetBorderIcons(unsigned value) {
  borderIcons_ = value;
  ApplyStyle();
}

void TForm::SetFormStyle(TFormStyle value) {
  formStyle_ = value;
  SetWindowPos(handle_, value == fsStayOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TForm::SetIconResource(const char* name) {
  // Icons from LoadIcon are shared by the module; nothing to free.
  if (HICON icon = LoadIconA(GetModuleHandleA(nullptr), name)) {
    SendMessageA(handle_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    SendMessageA(handle_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
  }
}

void TForm::SetActiveControl(TControl* control) {
  activeControl_ = control;
  if (control && IsWindowVisible(handle_)) control->SetFocus();
}

void TForm::FinishCreation() {
  created_ = true;
  Application->Fire(this, OnCreate, this);
  if (designVisible_) SetVisible(true);
}

void TForm::DoDestroy() noexcept {
  if (destroyed_) return;
  destroyed_ = true;
  Application->Fire(this, OnDestroy, this);
}

void TForm::SetVisible(bool value) {
  if (!created_) {
    designVisible_ = value;
    return;
  }
  visible_ = value;
  if (!value) {
    ShowWindow(handle_, SW_HIDE);
    return;
  }
  if (Position == poScreenCenter) {
    RECT work{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    SetBounds(work.left + (work.right - work.left - Width()) / 2,
              work.top + (work.bottom - work.top - Height()) / 2, Width(), Height());
  }
  ShowWindow(handle_, SW_SHOW);
  if (activeControl_) activeControl_->SetFocus();
}

int TForm::ShowModal() {
  if (modal_ || IsWindowVisible(handle_) || !IsWindowEnabled(handle_))
    throw EInvalidOperation("Cannot make a visible window modal");
  created_ = true;
  DisabledWindows others(handle_);
  modal_ = true;
  ModalResult = mrNone;
  Show();
  SetForegroundWindow(handle_);
  while (ModalResult == mrNone && Application->HandleMessage()) {
  }
  if (ModalResult == mrNone) ModalResult = mrCancel;  // the loop ended with WM_QUIT
  modal_ = false;
  Hide();
  return ModalResult;
}

void TForm::Close() {
  if (modal_) {
    ModalResult = mrCancel;
    return;
  }
  TCloseAction action = this == Application->MainForm() ? caFree : caHide;
  Application->Fire(this, OnClose, this, action);
  if (action == caNone) return;
  if (this == Application->MainForm()) {
    Application->Terminate();
  } else if (action == caMinimize) {
    ShowWindow(handle_, SW_MINIMIZE);
  } else {
    Hide();
  }
}

LRESULT TForm::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CLOSE:
      Close();
      return 0;
    case WM_ACTIVATE:
      if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus && IsChild(handle_, focus)) lastFocus_ = focus;
      } else if (lastFocus_ && IsWindow(lastFocus_) && IsChild(handle_, lastFocus_)) {
        ::SetFocus(lastFocus_);
        return 0;
      }
      break;
    case DM_GETDEFID:
      if (DefaultButton && DefaultButton->Handle())
        return MAKELRESULT(GetDlgCtrlID(DefaultButton->Handle()), DC_HASDEFID);
      return 0;
    case WM_COMMAND:
      if (lParam == 0 || (LOWORD(wParam) == IDCANCEL && HIWORD(wParam) == BN_CLICKED &&
                          !TControl::FromHandle(reinterpret_cast<HWND>(lParam)))) {
        if (LOWORD(wParam) == IDCANCEL) {
          if (CancelButton)
            CancelButton->Click();
          else if (modal_)
            ModalResult = mrCancel;
          return 0;
        }
      }
      break;
    default:
      break;
  }
  return TWinControl::WndProc(message, wParam, lParam);
}
