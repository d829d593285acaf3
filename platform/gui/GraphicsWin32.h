// Colours and fonts of controls.
#pragma once

#include "platform/win/WinApi.h"

#include <cstdint>
#include <functional>
#include <string>

#include "platform/win/UniqueHandle.h"

// An RGB colour with red in the low byte, or a system colour: the high bit set and the
// GetSysColor index in the low byte.
using TColor = std::int32_t;

constexpr TColor clSystemColor = static_cast<TColor>(0x80000000u);
constexpr TColor clBackground = clSystemColor | COLOR_BACKGROUND;
constexpr TColor clBtnFace = clSystemColor | COLOR_BTNFACE;
constexpr TColor clWindow = clSystemColor | COLOR_WINDOW;
constexpr TColor clWindowText = clSystemColor | COLOR_WINDOWTEXT;
constexpr TColor clBtnText = clSystemColor | COLOR_BTNTEXT;
constexpr TColor clGrayText = clSystemColor | COLOR_GRAYTEXT;
constexpr TColor clBlack = 0x000000;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clAqua = 0xFFFF00;
constexpr TColor clNavy = 0x800000;

// The plain RGB value (system colours as they are now).
COLORREF ColorToRGB(TColor color);

enum TFontStyle : unsigned { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };

// A logical font; its handle is made on first use and again after any change. Every change
// raises OnChange (the owning control applies the new font). A face the system lacks is
// replaced by a similar one it has; Name() stays the name given.
class TFont {
 public:
  TFont();
  TFont(const TFont&) = delete;
  TFont& operator=(const TFont&) = delete;
  // Copies name, height, style, colour and character set.
  void Assign(const TFont& other);

  const std::string& Name() const noexcept { return name_; }
  void SetName(const std::string& value);
  // Negative: character height in pixels; positive: cell height.
  int Height() const noexcept { return height_; }
  void SetHeight(int value);
  // Points at 96 pixels per inch.
  int Size() const noexcept;
  unsigned Style() const noexcept { return style_; }
  void SetStyle(unsigned fontStyles);
  TColor Color() const noexcept { return color_; }
  void SetColor(TColor value);
  void SetCharset(int value);

  HFONT Handle() const;
  std::function<void()> OnChange;

 private:
  void Changed();
  std::string name_ = "MS Sans Serif";
  int height_ = -11;
  unsigned style_ = 0;
  TColor color_ = clWindowText;
  int charset_ = DEFAULT_CHARSET;
  mutable UniqueFont handle_;
};

// A solid brush of a colour, remade when the colour changes.
class TBrushCache {
 public:
  HBRUSH Get(TColor color);

 private:
  TColor color_ = 0;
  UniqueBrush brush_;
};
