// A modal dialog box from a dialog template, as an object: one dialog procedure keeps the
// object in the dialog's user data at WM_INITDIALOG and calls its handlers, each through the
// application's dispatch point, so that no exception ever leaves the procedure.
#pragma once

#include "platform/win/WinApi.h"

#include "platform/gui/Classes.h"

class TModalDialog : public TObject {
 public:
  TModalDialog() = default;
  ~TModalDialog() override = default;
  const char* ClassName() const noexcept override { return "TModalDialog"; }

  // Runs the dialog of the template resource `name` of `module` (this program when null) with
  // `owner` disabled meanwhile. Returns the result given to End, or -1 when the dialog could not
  // be made (no such resource, a template the system refuses).
  INT_PTR ShowModal(HWND owner, const char* name, HINSTANCE module = nullptr);
  // The same from a template in memory: a DLGTEMPLATE and its items, DWORD-aligned.
  INT_PTR ShowModal(HWND owner, const DLGTEMPLATE* dialogTemplate);

  // The same template made as a child window of `parent` (a page of a tab control, say):
  // returns at once with the window, or null. The parent's loop serves it; DestroyWindow
  // (or the parent's destruction) ends it.
  HWND CreateChild(HWND parent, const char* name, HINSTANCE module = nullptr);

  // The dialog window while the dialog runs, else null.
  HWND Handle() const noexcept { return handle_; }
  HWND Item(int id) const noexcept { return GetDlgItem(handle_, id); }
  // Closes the dialog; ShowModal returns `result`.
  void End(INT_PTR result);

 protected:
  // WM_INITDIALOG: the items exist. True lets the system put the focus on the first item.
  virtual bool OnInit() { return true; }
  // WM_COMMAND from item `id` (code: the notification, e.g. BN_CLICKED). The default ends the
  // dialog with IDOK or IDCANCEL for those two ids. True when handled.
  virtual bool OnCommand(int id, int code, HWND control);
  // WM_NOTIFY from a common control; `result` is the message's answer. True when handled.
  virtual bool OnNotify(int id, NMHDR* header, LRESULT& result);
  // WM_TIMER of a timer of the dialog window.
  virtual bool OnTimer(UINT_PTR id);
  // Any other message; `result` is what the procedure returns when handled.
  virtual bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result);
  // WM_DESTROY: the items still exist.
  virtual void OnDestroy() {}

 private:
  static INT_PTR CALLBACK DialogProcedure(HWND window, UINT message, WPARAM wParam,
                                          LPARAM lParam);
  INT_PTR Route(UINT message, WPARAM wParam, LPARAM lParam) noexcept;

  HWND handle_ = nullptr;
};
