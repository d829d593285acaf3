#include "platform/win/ModalDialog.h"

#include "platform/gui/Application.h"

INT_PTR TModalDialog::ShowModal(HWND owner, const char* name, HINSTANCE module) {
  if (!module) module = GetModuleHandleA(nullptr);
  return DialogBoxParamA(module, name, owner, &TModalDialog::DialogProcedure,
                         reinterpret_cast<LPARAM>(this));
}

INT_PTR TModalDialog::ShowModal(HWND owner, const DLGTEMPLATE* dialogTemplate) {
  return DialogBoxIndirectParamA(GetModuleHandleA(nullptr), dialogTemplate, owner,
                                 &TModalDialog::DialogProcedure, reinterpret_cast<LPARAM>(this));
}

HWND TModalDialog::CreateChild(HWND parent, const char* name, HINSTANCE module) {
  if (!module) module = GetModuleHandleA(nullptr);
  return CreateDialogParamA(module, name, parent, &TModalDialog::DialogProcedure,
                            reinterpret_cast<LPARAM>(this));
}

void TModalDialog::End(INT_PTR result) {
  if (handle_) EndDialog(handle_, result);
}

bool TModalDialog::OnCommand(int id, int, HWND) {
  if (id != IDOK && id != IDCANCEL) return false;
  End(id);
  return true;
}

bool TModalDialog::OnNotify(int, NMHDR*, LRESULT&) { return false; }

bool TModalDialog::OnTimer(UINT_PTR) { return false; }

bool TModalDialog::OnMessage(UINT, WPARAM, LPARAM, INT_PTR&) { return false; }

INT_PTR CALLBACK TModalDialog::DialogProcedure(HWND window, UINT message, WPARAM wParam,
                                               LPARAM lParam) {
  TModalDialog* self;
  if (message == WM_INITDIALOG) {
    self = reinterpret_cast<TModalDialog*>(lParam);
    SetWindowLongPtrA(window, DWLP_USER, lParam);
    if (self) self->handle_ = window;
  } else {
    self = reinterpret_cast<TModalDialog*>(GetWindowLongPtrA(window, DWLP_USER));
  }
  if (!self) return FALSE;
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrA(window, DWLP_USER, 0);
    self->handle_ = nullptr;
    return FALSE;
  }
  return self->Route(message, wParam, lParam);
}

INT_PTR TModalDialog::Route(UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  // A handler that raises leaves its message to the default handling; the dialog goes on.
  INT_PTR result = FALSE;
  TheApplication()->Dispatch(this, [&] {
    switch (message) {
      case WM_INITDIALOG:
        result = OnInit() ? TRUE : FALSE;
        break;
      case WM_COMMAND:
        result = OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
        break;
      case WM_NOTIFY: {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        LRESULT answer = 0;
        if (OnNotify(static_cast<int>(header->idFrom), header, answer)) {
          SetWindowLongPtrA(handle_, DWLP_MSGRESULT, answer);
          result = TRUE;
        }
        break;
      }
      case WM_TIMER:
        result = OnTimer(wParam);
        break;
      case WM_DESTROY:
        OnDestroy();
        break;
      default:
        if (!OnMessage(message, wParam, lParam, result)) result = FALSE;
        break;
    }
  });
  return result;
}
