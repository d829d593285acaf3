#include "platform/gui/DialogsWin32.h"

#include <commdlg.h>

#include "platform/SysUtils.h"
#include "platform/gui/ApplicationWin32.h"
#include "platform/win/ProcAddress.h"

namespace {

// The common dialogs' library brings the shell, its helpers and the printing library with it:
// imported, they all load before the program's first window. It is loaded when a colour is
// first chosen instead, and stays, as it would have.
template <typename Function>
Function CommonDialogEntry(const char* name) {
  static const HMODULE library = LoadLibraryA("comdlg32.dll");
  return ProcAddress<Function>(library, name);
}

}  // namespace

TColorDialog::TColorDialog(TComponent* AOwner) : TComponent(AOwner) {
  CustomColors.fill(RGB(255, 255, 255));
}

bool TColorDialog::Execute() {
  const auto chooseColor = CommonDialogEntry<decltype(&ChooseColorA)>("ChooseColorA");
  const auto dialogError = CommonDialogEntry<decltype(&CommDlgExtendedError)>("CommDlgExtendedError");
  if (!chooseColor || !dialogError) throw Exception("The colour dialog is not available");
  CHOOSECOLORA choose{};
  choose.lStructSize = sizeof(choose);
  HWND owner = GetActiveWindow();
  choose.hwndOwner = owner ? owner : static_cast<HWND>(Application->Handle());
  choose.rgbResult = ColorToRGB(Color);
  choose.lpCustColors = CustomColors.data();
  choose.Flags = CC_RGBINIT | CC_ANYCOLOR;
  if (!chooseColor(&choose)) {
    if (const DWORD error = dialogError())
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
