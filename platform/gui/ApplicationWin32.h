// The Windows application: the portable application object plus the forms, the message loop,
// the hidden owner window of forms and message boxes, and the cursor table.
#pragma once

#include "platform/win/WinApi.h"

#include <utility>
#include <vector>

#include "platform/gui/Application.h"

class TForm;

class TWinApplication final : public TApplication {
 public:
  const char* ClassName() const noexcept override { return "TApplication"; }

  // Creates a form (the first becomes MainForm), raises its OnCreate, and shows it when it
  // was made visible in its constructor.
  template <class T, class... Args>
  T* CreateForm(Args&&... args) {
    T* form = new T(std::forward<Args>(args)...);
    AdoptForm(form);
    return form;
  }
  TForm* MainForm() const noexcept { return mainForm_; }
  // Shows the main form and runs the message loop until Terminate or the main form closes;
  // then destroys the forms (each raising OnDestroy first).
  void Run();
  // Handles the messages waiting in the queue, then returns.
  void ProcessMessages();
  void Terminate();
  bool Terminated() const noexcept { return terminated_; }
  // Raises OnDestroy of every form, then frees them, newest first.
  void DestroyForms() noexcept;
  // A form freed by other means leaves the application's list.
  void ForgetForm(TForm* form) noexcept;
  // The program's hidden owner window of forms and message boxes, made on first use.
  HWND Handle();
  // One message from the queue, waiting for it; false when WM_QUIT arrived.
  bool HandleMessage();
  // Cursor table: number -> cursor, for controls' Cursor properties (0 = the arrow).
  void SetCursor(int index, HCURSOR cursor);
  HCURSOR Cursor(int index) const;

 protected:
  void TitleChanged() override;

 private:
  void AdoptForm(TForm* form);
  void Deliver(MSG& msg);

  bool terminated_ = false;
  TForm* mainForm_ = nullptr;
  std::vector<TForm*> forms_;
  HWND handle_ = nullptr;
  std::vector<std::pair<int, HCURSOR>> cursors_;
};
