// The subsystem's dialog font: the font of its dialog templates, "MS Sans Serif" 8 pt, shared
// by the error dialog (its bold caption font) and the send-progress dialog (its status line).
#pragma once

#include "platform/win/WinApi.h"

#include "platform/win/UniqueHandle.h"

// The font `dialog` has from its template; for a window without one, or one the system will not
// describe, "MS Sans Serif" 8 pt at the screen's resolution.
LOGFONTA DialogFontOf(HWND dialog);

// A font of the caller's own from that description, `percent` of its height, in `weight`
// (0: the weight it has).
UniqueFont MakeDialogFont(HWND dialog, int percent = 100, LONG weight = 0);
