#include "app/DpiWin32.h"

#include "platform/win/UniqueHandle.h"

UINT WindowDpi(HWND window) {
  using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
  // user32 is loaded in every GUI process; GetModuleHandle takes no reference to release.
  if (HMODULE user32 = GetModuleHandleA("user32.dll"))
    if (auto get = reinterpret_cast<GetDpiForWindowFn>(
            reinterpret_cast<void*>(GetProcAddress(user32, "GetDpiForWindow"))))
      if (const UINT dpi = get(window)) return dpi;
  WindowDC screen(nullptr);
  const int dpi = screen.get() ? GetDeviceCaps(screen.get(), LOGPIXELSY) : 0;
  return dpi > 0 ? static_cast<UINT>(dpi) : kDesignDpi;
}

int ScaleForDpi(int designPixels, UINT dpi) {
  return MulDiv(designPixels, static_cast<int>(dpi), static_cast<int>(kDesignDpi));
}
