#include "platform/gui/ComCtrlsWin32.h"

TStatusBar::TStatusBar(TWinControl* AParent) : TControl(AParent) {
  CreateHandle(STATUSCLASSNAMEA, WS_CHILD | CCS_NOPARENTALIGN | CCS_NORESIZE, 0, AParent->Handle());
  SetBounds(0, 0, 0, 19);
  SetAlign(alBottom);
}

void TStatusBar::SetSimplePanel(bool value) { SendMessageA(handle_, SB_SIMPLE, value, 0); }

void TStatusBar::SetSimpleText(const std::string& value) {
  SendMessageA(handle_, SB_SETTEXTA, SB_SIMPLEID, reinterpret_cast<LPARAM>(value.c_str()));
}
