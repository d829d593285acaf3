// The window classes of the program: one checked registration and one window procedure that
// hands each message to the object that owns the window.
#pragma once

#include "platform/win/WinApi.h"

// Registers a window class of this module under `name`, once: a class already registered is
// kept. Raises Exception when the system refuses the registration.
const char* RegisterWindowClass(const char* name, WNDPROC procedure, UINT style = 0,
                                HBRUSH background = nullptr, HCURSOR cursor = nullptr);

// The one window procedure of windows owned by objects of class Owner. CreateWindowEx passes
// the owner as its last argument; WM_NCCREATE keeps it in the window's user data (read inside
// the process, where a window property would cost a wineserver round trip under Wine), and every
// message from then on goes to Owner::WindowMessage, which must not throw: a C++ exception
// cannot travel through the system's frames that called the procedure.
template <class Owner>
LRESULT CALLBACK WindowTrampoline(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  Owner* owner;
  if (message == WM_NCCREATE) {
    owner = static_cast<Owner*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(owner));
  } else {
    owner = reinterpret_cast<Owner*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  }
  if (!owner) return DefWindowProcA(window, message, wParam, lParam);
  static_assert(noexcept(owner->WindowMessage(window, message, wParam, lParam)));
  return owner->WindowMessage(window, message, wParam, lParam);
}
