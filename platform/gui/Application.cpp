#include "platform/gui/Application.h"

#include <cctype>

#include "platform/SysUtils.h"

TApplication::TApplication() : TComponent(nullptr) {}

TApplication::~TApplication() = default;

void TApplication::SetTitle(const std::string& value) {
  title_ = value;
  TitleChanged();
}

void TApplication::SetHint(const std::string& value) {
  if (value == hint_) return;
  hint_ = value;
  Fire(this, OnHint, this);
}

void TApplication::Invoke(TObject* Sender, void (*thunk)(void*), void* context) noexcept {
  try {
    thunk(context);
  } catch (...) {
    HandleException(Sender);
  }
}

void TApplication::HandleException(TObject* Sender) noexcept {
  const std::exception_ptr e = std::current_exception();
  if (!e) return;
  ++handledCount_;
  if (IsAbortException(e)) return;
  try {
    if (OnException)
      OnException(Sender, e);
    else
      ShowException(e);
  } catch (...) {
    // The replacement handler failed: the user still learns of the original error.
    ShowException(e);
  }
}

std::string ExceptionMessage(std::exception_ptr E) {
  try {
    if (E) std::rethrow_exception(E);
  } catch (const Exception& e) {
    return e.Message();
  } catch (const std::exception& e) {
    return e.what();
  } catch (...) {
  }
  return "Unknown exception";
}

std::string ExceptionClassName(std::exception_ptr E) {
  try {
    if (E) std::rethrow_exception(E);
  } catch (const Exception& e) {
    return e.ClassName();
  } catch (const std::exception&) {
    return "std::exception";
  } catch (...) {
  }
  return "Unknown";
}

bool IsAbortException(std::exception_ptr E) {
  try {
    if (E) std::rethrow_exception(E);
  } catch (const Exception& e) {
    return e.InheritsFrom("EAbort");
  } catch (...) {
  }
  return false;
}

std::string ExceptionDisplayText(std::exception_ptr E) {
  std::string text = ExceptionMessage(E);
  if (!text.empty() && std::isalnum(static_cast<unsigned char>(text.back()))) text += '.';
  return text;
}
