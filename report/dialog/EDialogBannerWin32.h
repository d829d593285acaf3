// The painted caption bar of the banner look: a gradient with its frame and the caption text,
// in active and inactive colours.
#pragma once

#include "platform/win/WinApi.h"

#include <string>

// Paints the band `band` of `dc`; captionFont may be null (the DC's font is used).
void PaintBanner(HDC dc, const RECT& band, const std::string& caption, HFONT captionFont,
                 bool active);
