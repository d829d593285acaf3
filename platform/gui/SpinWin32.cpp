#include "platform/gui/SpinWin32.h"

#include "platform/win/WinApi.h"

#include <climits>

#include "platform/SpinValue.h"

TSpinEdit::TSpinEdit(TWinControl* AParent) : TEdit(AParent, ES_AUTOHSCROLL | ES_NUMBER) {
  upDown_.reset(CreateWindowExA(0, UPDOWN_CLASSA, "",
                                WS_CHILD | WS_VISIBLE | UDS_ALIGNRIGHT | UDS_ARROWKEYS |
                                    UDS_SETBUDDYINT | UDS_NOTHOUSANDS,
                                0, 0, 0, 0, AParent->Handle(), nullptr, GetModuleHandleA(nullptr),
                                nullptr));
  if (upDown_) TagWindow(upDown_.get());
  SetRange(0, 0);
  SetCaption("0");
  Attach();
}

TSpinEdit::~TSpinEdit() {
  if (upDown_) UntagWindow(upDown_.get());
}

void TSpinEdit::Attach() {
  if (!upDown_) return;
  SendMessageA(upDown_.get(), UDM_SETBUDDY, reinterpret_cast<WPARAM>(handle_), 0);
}

int TSpinEdit::Value() const { return ClampSpinValue(SpinTextToInt(Caption()), min_, max_); }

void TSpinEdit::SetValue(int value) {
  const int clamped = ClampSpinValue(value, min_, max_);
  const std::string text = std::to_string(clamped);
  if (text == Caption()) return;
  if (upDown_) SendMessageA(upDown_.get(), UDM_SETPOS32, 0, clamped);
  SetCaption(text);
}

void TSpinEdit::SetRange(int minValue, int maxValue) {
  min_ = minValue;
  max_ = maxValue;
  if (upDown_) {
    const bool unlimited = minValue == maxValue;
    SendMessageA(upDown_.get(), UDM_SETRANGE32, unlimited ? INT_MIN / 2 : minValue,
                 unlimited ? INT_MAX / 2 : maxValue);
  }
  const int value = Value();
  if (std::to_string(value) != Caption()) SetValue(value);
}

void TSpinEdit::SetReadOnly(bool value) {
  TEdit::SetReadOnly(value);
  if (upDown_) EnableWindow(upDown_.get(), !value && Enabled());
}

void TSpinEdit::SetBounds(int left, int top, int width, int height) {
  TControl::SetBounds(left, top, width, height);
  Attach();  // the arrows take their place at the right edge again
}

void TSpinEdit::SetVisible(bool value) {
  TControl::SetVisible(value);
  if (upDown_ && ((GetWindowLongA(upDown_.get(), GWL_STYLE) & WS_VISIBLE) != 0) != value)
    ShowWindow(upDown_.get(), value ? SW_SHOWNA : SW_HIDE);
}

void TSpinEdit::SetEnabled(bool value) {
  TControl::SetEnabled(value);
  if (upDown_) EnableWindow(upDown_.get(), value && !ReadOnly());
}
