// A picture control: a bitmap of the program's resources drawn unscaled from the top-left
// corner; what the picture does not cover shows the parent's colour.
#pragma once

#include "platform/gui/Controls.h"
#include "platform/gui/Handles.h"

struct BitmapTraits {
  using Handle = HBITMAP;
  static void Close(HBITMAP h) noexcept { DeleteObject(h); }
};
using UniqueBitmap = UniqueHandle<BitmapTraits>;

class TImage : public TControl {
 public:
  explicit TImage(TWinControl* AParent);
  const char* ClassName() const noexcept override { return "TImage"; }
  // Loads the bitmap resource of that name; false (and no picture) when there is none.
  bool LoadFromResourceName(const char* name);
  // The picture's size in pixels (0 x 0 without one).
  SIZE PictureSize() const;

 protected:
  LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void Paint(HDC dc);
  UniqueBitmap picture_;
};
