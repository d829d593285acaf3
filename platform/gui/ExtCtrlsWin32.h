// Panels with bevels, bevel lines, pictures and the timer.
#pragma once

#include "platform/gui/ControlsWin32.h"
#include "platform/win/UniqueHandle.h"

enum TBevelCut { bvNone, bvLowered, bvRaised };
enum TBorderStyle { bsNoBorder, bsSingleBorder };

class TPanel : public TWinControl {
 public:
  explicit TPanel(TWinControl* AParent);
  const char* ClassName() const noexcept override { return "TPanel"; }
  TBevelCut BevelInner() const noexcept { return bevelInner_; }
  void SetBevelInner(TBevelCut value);
  TBevelCut BevelOuter() const noexcept { return bevelOuter_; }
  void SetBevelOuter(TBevelCut value);
  int BevelWidth() const noexcept { return bevelWidth_; }
  void SetBevelWidth(int value);
  TBorderStyle BorderStyle() const noexcept { return borderStyle_; }
  void SetBorderStyle(TBorderStyle value);
  void SetCaption(const std::string& value) override;
  RECT AlignRect() const override;

 protected:
  void Paint(HDC dc) override;
  LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void Changed();
  TBevelCut bevelInner_ = bvNone;
  TBevelCut bevelOuter_ = bvRaised;
  int bevelWidth_ = 1;
  TBorderStyle borderStyle_ = bsNoBorder;
};

enum TBevelShape { bsBox, bsFrame, bsTopLine, bsBottomLine };

// A bevelled line or box painted by a window of the runtime's own class.
class TBevel : public TControl {
 public:
  explicit TBevel(TWinControl* AParent);
  const char* ClassName() const noexcept override { return "TBevel"; }
  TBevelShape Shape = bsBox;
  TBevelCut Style = bvLowered;

 protected:
  LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};

// Raises OnTimer every Interval milliseconds while Enabled, from the message loop.
class TTimer : public TComponent {
 public:
  explicit TTimer(TComponent* AOwner);
  ~TTimer() override;
  const char* ClassName() const noexcept override { return "TTimer"; }
  bool Enabled() const noexcept { return enabled_; }
  void SetEnabled(bool value);
  unsigned Interval() const noexcept { return interval_; }
  void SetInterval(unsigned value);
  TNotifyEvent OnTimer;

 private:
  template <class Owner>
  friend LRESULT CALLBACK WindowTrampoline(HWND, UINT, WPARAM, LPARAM);
  LRESULT WindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
  void Restart();
  bool enabled_ = true;
  unsigned interval_ = 1000;
  UniqueWindow window_;
  UniqueTimer timer_;
};

// A picture control: a bitmap of the program's resources drawn unscaled from the top-left
// corner; what the picture does not cover shows the parent's colour.
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
