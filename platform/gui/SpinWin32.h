// The spin edit: an edit for an integer with up and down arrows, limited to a range.
#pragma once

#include "platform/gui/StdCtrlsWin32.h"

class TSpinEdit : public TEdit {
 public:
  explicit TSpinEdit(TWinControl* AParent);
  ~TSpinEdit() override;
  const char* ClassName() const noexcept override { return "TSpinEdit"; }

  // The text as a number (text that is not a number reads as 0), brought into the range.
  int Value() const;
  // Brought into the range before it is shown.
  void SetValue(int value);
  // A range with equal ends (0..0) does not limit.
  void SetRange(int minValue, int maxValue);
  // The arrows do nothing while read-only.
  void SetReadOnly(bool value) override;

  void SetBounds(int left, int top, int width, int height) override;
  void SetVisible(bool value) override;
  void SetEnabled(bool value) override;
  HWND UpDownHandle() const noexcept { return upDown_.get(); }

 private:
  void Attach();
  UniqueWindow upDown_;
  int min_ = 0;
  int max_ = 0;
};
