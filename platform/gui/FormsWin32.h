// Forms: the top-level windows of the program, owned by the application's hidden window.
#pragma once

#include "platform/SysUtils.h"
#include "platform/gui/ControlsWin32.h"

DM_DECLARE_EXCEPTION(EInvalidOperation, Exception)

enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow };
enum TBorderIcon : unsigned { biSystemMenu = 1, biMinimize = 2, biMaximize = 4 };
enum TFormStyle { fsNormal, fsStayOnTop };
enum TPosition { poDesigned, poScreenCenter };
enum TCloseAction { caNone, caHide, caFree, caMinimize };
using TCloseEvent = std::function<void(TObject* Sender, TCloseAction& Action)>;

enum TModalResult : int {
  mrNone = 0, mrOk = IDOK, mrCancel = IDCANCEL, mrAbort = IDABORT, mrRetry = IDRETRY,
  mrIgnore = IDIGNORE, mrYes = IDYES, mrNo = IDNO
};

class TButton;

// A form is made with Application->CreateForm<T>(); its constructor creates the components
// and binds the events. Visible set in the constructor means "show after OnCreate".
class TForm : public TWinControl {
 public:
  TForm();
  ~TForm() override;
  const char* ClassName() const noexcept override { return "TForm"; }

  int ClientWidth() const;
  int ClientHeight() const;
  void SetClientSize(int width, int height);

  TFormBorderStyle BorderStyle() const noexcept { return borderStyle_; }
  // Keeps the client area's size.
  void SetBorderStyle(TFormBorderStyle value);
  void SetBorderIcons(unsigned value);
  TFormStyle FormStyle() const noexcept { return formStyle_; }
  void SetFormStyle(TFormStyle value);
  TPosition Position = poDesigned;

  // The form's icon from the program's resources (nothing when there is no such icon).
  void SetIconResource(const char* name);

  void SetActiveControl(TControl* control);
  // The buttons that Enter and Escape press.
  TButton* DefaultButton = nullptr;
  TButton* CancelButton = nullptr;

  void SetVisible(bool value) override;
  // Shows the form while disabling the other windows, and returns when ModalResult is set
  // (or the form is closed: mrCancel).
  int ShowModal();
  int ModalResult = mrNone;
  // As the close box does: OnClose decides; the main form's close ends the message loop.
  void Close();

  TNotifyEvent OnCreate;
  TNotifyEvent OnDestroy;
  TCloseEvent OnClose;

  // Used by the application.
  void FinishCreation();
  void DoDestroy() noexcept;
  bool DesignVisible() const noexcept { return designVisible_; }

 protected:
  LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void ApplyStyle();
  DWORD Style() const;
  DWORD ExStyle() const;

  TFormBorderStyle borderStyle_ = bsSizeable;
  unsigned borderIcons_ = biSystemMenu | biMinimize | biMaximize;
  TFormStyle formStyle_ = fsNormal;
  TControl* activeControl_ = nullptr;
  bool created_ = false;
  bool designVisible_ = false;
  bool destroyed_ = false;
  bool modal_ = false;
  HWND lastFocus_ = nullptr;
};
