#include <cstdio>

#include "platform/gui/Application.h"

void TApplication::ApplyTitle() {}

void TApplication::ShowException(std::exception_ptr E) noexcept {
  try {
    std::fprintf(stderr, "%s: %s\n", title_.c_str(), ExceptionDisplayText(E).c_str());
  } catch (...) {
  }
}

void* TApplication::Handle() { return nullptr; }
