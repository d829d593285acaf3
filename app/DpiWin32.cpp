#include "app/DpiWin32.h"

#include "platform/win/ProcAddress.h"
#include "platform/win/UniqueHandle.h"

UINT WindowDpi(HWND window) {
  using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
  // user32 is loaded in every GUI process; GetModuleHandle takes no reference to release.
  if (auto get = ProcAddress<GetDpiForWindowFn>(GetModuleHandleA("user32.dll"), "GetDpiForWindow"))
    if (const UINT dpi = get(window)) return dpi;
  WindowDC screen(nullptr);
  const int dpi = screen.get() ? GetDeviceCaps(screen.get(), LOGPIXELSY) : 0;
  return dpi > 0 ? static_cast<UINT>(dpi) : kDesignDpi;
}

int ScaleForDpi(int designPixels, UINT dpi) {
  return MulDiv(designPixels, static_cast<int>(dpi), static_cast<int>(kDesignDpi));
}
