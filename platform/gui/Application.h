// The application object as both builds know it: title, hint, the one dispatch point for every
// event handler and the handling of exceptions that escape handlers. The Windows build's object
// is a TWinApplication (platform/gui/ApplicationWin32.h), which adds forms and the message loop.
#pragma once

#include <exception>
#include <functional>
#include <string>
#include <type_traits>
#include <vector>

#include "platform/gui/Classes.h"

// Receives every exception that escapes an event handler (except EAbort), in place of the
// message box.
using TExceptionEvent = std::function<void(TObject* Sender, std::exception_ptr E)>;

class TApplication : public TComponent {
 public:
  TApplication();
  ~TApplication() override;
  const char* ClassName() const noexcept override { return "TApplication"; }

  // The text of the program's taskbar button and of its message boxes.
  const std::string& Title() const noexcept { return title_; }
  void SetTitle(const std::string& value);

  // The long hint of the control under the mouse; a change raises OnHint.
  const std::string& Hint() const noexcept { return hint_; }
  void SetHint(const std::string& value);
  TNotifyEvent OnHint;

  TExceptionEvent OnException;

  // The single dispatch point: runs `call` and hands anything it throws to HandleException
  // with Sender. Every event of the runtime goes through here; nothing escapes.
  template <class F>
  void Dispatch(TObject* Sender, F&& call) noexcept {
    using Fn = std::remove_reference_t<F>;
    Invoke(Sender, [](void* c) { (*static_cast<Fn*>(c))(); },
           const_cast<void*>(static_cast<const void*>(&call)));
  }
  // Raises an event (an empty closure does nothing) through the dispatch point.
  template <class Event, class... Args>
  void Fire(TObject* Sender, const Event& event, Args&&... args) noexcept {
    if (event) Dispatch(Sender, [&] { event(std::forward<Args>(args)...); });
  }
  void Invoke(TObject* Sender, void (*thunk)(void*), void* context) noexcept;

  // To be called inside a catch block: EAbort is ignored; otherwise OnException receives the
  // exception when set, else ShowException shows it. Never throws.
  void HandleException(TObject* Sender) noexcept;
  // A message box with the exception's message (on the host: a line on stderr).
  void ShowException(std::exception_ptr E) noexcept;
  // How many exceptions reached HandleException (shown, handed on or ignored as EAbort).
  int HandledExceptionCount() const noexcept { return handledCount_; }

 protected:
  // The Windows application shows the title on its owner window.
  virtual void TitleChanged() {}

 private:
  std::string title_;
  std::string hint_;
  int handledCount_ = 0;
};

#ifdef _WIN32
class TWinApplication;
using TApplicationObject = TWinApplication;
#else
using TApplicationObject = TApplication;
#endif

// Application->... reaches the one application object, made on first use, so that code run
// during static initialisation (the exception-reporting hooks) finds it ready. Win32 code sees
// it whole through platform/gui/ApplicationWin32.h; code of both builds uses TheApplication().
struct TApplicationAccess {
  TApplicationObject* operator->() const;
  operator TApplicationObject*() const { return operator->(); }
};
inline constexpr TApplicationAccess Application{};
TApplication* TheApplication();

// What an exception says: the message of an Exception or std::exception, else a fixed text.
std::string ExceptionMessage(std::exception_ptr E);
// The runtime class name (Exception, EConvertError, ...); "std::exception" or "Unknown" else.
std::string ExceptionClassName(std::exception_ptr E);
bool IsAbortException(std::exception_ptr E);
// The message as the message box shows it: a full stop added when it ends in a letter or digit.
std::string ExceptionDisplayText(std::exception_ptr E);
