// Helpers for driving real windows in tests: message pumping, reading what a user sees, and
// answering a message box from another thread.
#pragma once

#include "platform/win/WinApi.h"

#include <atomic>
#include <string>
#include <thread>

#include "platform/gui/ApplicationWin32.h"

// Handles the waiting messages a few times over (posted input produces more messages).
void Pump(int rounds = 5);

std::string WindowText(HWND window);
std::string ListCell(HWND list, int row, int column);
// Posts the button-down and button-up a left click at a client point produces, and pumps.
void ClickAt(HWND window, int x, int y);
// Where Wine differs from Windows, tests say so with this.
bool RunningUnderWine();
// The simple-mode text of a status bar as the control holds it.
std::string StatusText(HWND statusBar);

// Waits on its own thread for a message box of the given title, records its text and
// presses its OK button.
class MessageBoxAnswerer {
 public:
  explicit MessageBoxAnswerer(std::string title);
  ~MessageBoxAnswerer();
  // Waits for the answer (or gives up after a long while); the text of the box answered.
  std::string Text();

 private:
  void Run();
  std::string title_;
  std::string text_;
  std::atomic<bool> done_{false};
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

// A test's forms are its own: freed at the end of the test.
template <class T>
struct FormHolder {
  FormHolder() : form(Application->CreateForm<T>()) {}
  ~FormHolder() { delete form; }
  T* operator->() const { return form; }
  T* form;
};
