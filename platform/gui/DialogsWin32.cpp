#include "platform/gui/DialogsWin32.h"

#include <commdlg.h>

#include "platform/SysUtils.h"
#include "platform/gui/ApplicationWin32.h"

TColorDialog::TColorDialog(TComponent* AOwner) : TComponent(AOwner) {
  CustomColors.fill(RGB(255, 255, 255));
}

bool TColorDialog::Execute() {
  CHOOSECOLORA choose{};
  choose.lStructSize = sizeof(choose);
  HWND owner = GetActiveWindow();
  choose.hwndOwner = owner ? owner : static_cast<HWND>(Application->Handle());
  choose.rgbResult = ColorToRGB(Color);
  choose.lpCustColors = CustomColors.data();
  choose.Flags = CC_RGBINIT | CC_ANYCOLOR;
  if (!ChooseColorA(&choose)) {
    if (const DWORD error = CommDlgExtendedError())
      throw Exception(Format("The colour dialog failed (error %lu)", static_cast<unsigned long>(error)));
    return false;
  }
  Color = static_cast<TColor>(choose.rgbResult);
  return true;
}

void ShowMessage(const std::string& text) {
  HWND owner = GetActiveWindow();
  MessageBoxA(owner ? owner : static_cast<HWND>(Application->Handle()), text.c_str(),
              Application->Title().c_str(), MB_OK);
}

HCURSOR LoadResourceCursor(const char* name) {
  return static_cast<HCURSOR>(
      LoadImageA(GetModuleHandleA(nullptr), name, IMAGE_CURSOR, 0, 0, LR_DEFAULTSIZE));
}
