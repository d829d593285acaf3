#include "platform/win/WindowClass.h"

#include "platform/SysUtils.h"

const char* RegisterWindowClass(const char* name, WNDPROC procedure, UINT style,
                                HBRUSH background, HCURSOR cursor) {
  const HINSTANCE module = GetModuleHandleA(nullptr);
  WNDCLASSEXA existing{};
  existing.cbSize = sizeof(existing);
  if (GetClassInfoExA(module, name, &existing)) return name;
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof(wc);
  wc.style = style;
  wc.lpfnWndProc = procedure;
  wc.hInstance = module;
  wc.hCursor = cursor;
  wc.hbrBackground = background;
  wc.lpszClassName = name;
  if (!RegisterClassExA(&wc)) throw Exception(Format("Cannot register the window class %s", name));
  return name;
}
