#include <cstdio>

#include "platform/gui/Application.h"

TApplicationObject* TApplicationAccess::operator->() const {
  // Never freed: hooks may still use it while the process ends.
  static TApplication* const instance = new TApplication;
  return instance;
}

TApplication* TheApplication() { return Application; }

void TApplication::ShowException(std::exception_ptr E) noexcept {
  try {
    std::fprintf(stderr, "%s: %s\n", title_.c_str(), ExceptionDisplayText(E).c_str());
  } catch (...) {
  }
}
