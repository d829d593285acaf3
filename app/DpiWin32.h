// The dots per inch of the monitor a window is on, and pixel sizes designed at 96 of them.
#pragma once

#include "platform/win/WinApi.h"

#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif

inline constexpr UINT kDesignDpi = 96;

// GetDpiForWindow where the system has it (Windows 10 1607 on), else the screen's
// system-wide value; 96 when neither answers.
UINT WindowDpi(HWND window);

// A length designed at 96 dots per inch, at `dpi` (rounded, sign kept for font heights).
int ScaleForDpi(int designPixels, UINT dpi);
