#include "platform/gui/GraphicsWin32.h"

#include <map>

namespace {

std::string ActualFace(HFONT font) {
  const UniqueMemoryDC dc(CreateCompatibleDC(nullptr));
  if (!dc) return {};
  char face[LF_FACESIZE] = {};
  SelectedObject selected(dc.get(), font);
  GetTextFaceA(dc.get(), sizeof face, face);
  return face;
}

// The face to ask for: the name itself when the system has it, else the first substitute it
// has with about the same widths (the windows' layouts are made for those widths), else the
// name (the system then picks what it likes).
const std::string& ResolvedFace(const std::string& name) {
  static std::map<std::string, std::string> resolved;
  auto found = resolved.find(name);
  if (found != resolved.end()) return found->second;
  std::string result = name;
  for (const char* candidate : {"", "Microsoft Sans Serif", "Tahoma", "Liberation Sans", "Arimo",
                                "DejaVu Sans Condensed"}) {
    const std::string face = *candidate ? candidate : name;
    UniqueFont probe(CreateFontA(-11, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0,
                                 face.c_str()));
    if (probe && lstrcmpiA(ActualFace(probe.get()).c_str(), face.c_str()) == 0) {
      result = face;
      break;
    }
  }
  return resolved.emplace(name, result).first->second;
}

}  // namespace

COLORREF ColorToRGB(TColor color) {
  if (color & clSystemColor) return GetSysColor(color & 0xFF);
  return static_cast<COLORREF>(color) & 0xFFFFFF;
}

TFont::TFont() = default;

void TFont::Assign(const TFont& other) {
  name_ = other.name_;
  height_ = other.height_;
  style_ = other.style_;
  color_ = other.color_;
  charset_ = other.charset_;
  Changed();
}

void TFont::SetName(const std::string& value) {
  name_ = value;
  Changed();
}
void TFont::SetHeight(int value) {
  height_ = value;
  Changed();
}
int TFont::Size() const noexcept { return -MulDiv(height_, 72, 96); }
void TFont::SetStyle(unsigned fontStyles) {
  style_ = fontStyles;
  Changed();
}
void TFont::SetColor(TColor value) {
  color_ = value;
  if (OnChange) OnChange();
}
void TFont::SetCharset(int value) {
  charset_ = value;
  Changed();
}

void TFont::Changed() {
  handle_.reset();
  if (OnChange) OnChange();
}

HFONT TFont::Handle() const {
  if (!handle_) {
    handle_.reset(CreateFontA(height_, 0, 0, 0, (style_ & fsBold) ? FW_BOLD : FW_NORMAL,
                              (style_ & fsItalic) != 0, (style_ & fsUnderline) != 0,
                              (style_ & fsStrikeOut) != 0, static_cast<BYTE>(charset_),
                              OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                              DEFAULT_PITCH | FF_DONTCARE, ResolvedFace(name_).c_str()));
  }
  return handle_ ? handle_.get() : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

HBRUSH TBrushCache::Get(TColor color) {
  if (!brush_ || color != color_) {
    brush_.reset(CreateSolidBrush(ColorToRGB(color)));
    color_ = color;
  }
  return brush_.get();
}
