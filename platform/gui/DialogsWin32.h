// The colour dialog, message boxes and cursors from the program's resources.
#pragma once

#include "platform/win/WinApi.h"

#include <array>
#include <string>

#include "platform/gui/Classes.h"
#include "platform/gui/GraphicsWin32.h"

class TColorDialog : public TComponent {
 public:
  explicit TColorDialog(TComponent* AOwner);
  const char* ClassName() const noexcept override { return "TColorDialog"; }
  // The colour shown at start and, after a confirmed Execute, the chosen one.
  TColor Color = clBlack;
  std::array<COLORREF, 16> CustomColors{};
  // Runs the dialog; true when the user confirmed. A dialog that cannot be shown raises
  // Exception.
  bool Execute();
};

// A message box with the application's title and an OK button.
void ShowMessage(const std::string& text);

// Loads a cursor of the program's resources by name; nullptr when there is none. The cursor
// lives as long as the process (cursor tables keep it).
HCURSOR LoadResourceCursor(const char* name);
