#include "app/ResourceImage.h"

namespace {
constexpr char kImageClass[] = "DmImage";
}

TImage::TImage(TWinControl* AParent) : TControl(AParent) {
  SetParentColor(true);
  RegisterClass(kImageClass, 0, nullptr);
  CreateHandle(kImageClass, WS_CHILD, 0, AParent->Handle());
}

bool TImage::LoadFromResourceName(const char* name) {
  picture_.reset(static_cast<HBITMAP>(
      LoadImageA(GetModuleHandleA(nullptr), name, IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR)));
  Invalidate();
  return static_cast<bool>(picture_);
}

SIZE TImage::PictureSize() const {
  BITMAP info{};
  if (!picture_ || !GetObjectA(picture_.get(), sizeof info, &info)) return {0, 0};
  return {info.bmWidth, info.bmHeight};
}

void TImage::Paint(HDC dc) {
  RECT r;
  GetClientRect(handle_, &r);
  FillRect(dc, &r, Brush().Get(EffectiveColor()));
  if (!picture_) return;
  const SIZE size = PictureSize();
  const UniqueMemoryDC memory(CreateCompatibleDC(dc));
  if (!memory) return;
  SelectedObject selected(memory.get(), picture_.get());
  BitBlt(dc, 0, 0, size.cx, size.cy, memory.get(), 0, 0, SRCCOPY);
}

LRESULT TImage::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      Paint(PaintScope(handle_).get());
      return 0;
    default:
      return TControl::WndProc(message, wParam, lParam);
  }
}
