#include "report/dialog/EDialogFontWin32.h"

LOGFONTA DialogFontOf(HWND dialog) {
  const auto font = reinterpret_cast<HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0));
  LOGFONTA description{};
  if (font && GetObjectA(font, sizeof description, &description)) return description;
  description = LOGFONTA{};
  const WindowDC screen(nullptr);
  description.lfHeight =
      -MulDiv(8, screen.get() ? GetDeviceCaps(screen.get(), LOGPIXELSY) : 96, 72);
  description.lfWeight = FW_NORMAL;
  description.lfCharSet = DEFAULT_CHARSET;
  lstrcpynA(description.lfFaceName, "MS Sans Serif", LF_FACESIZE);
  return description;
}

UniqueFont MakeDialogFont(HWND dialog, int percent, LONG weight) {
  LOGFONTA description = DialogFontOf(dialog);
  description.lfHeight = description.lfHeight * percent / 100;
  if (weight) description.lfWeight = weight;
  return UniqueFont(CreateFontIndirectA(&description));
}
