// The error dialog's window state: size, position, show state and the column widths of its
// two lists, as "OskedaLog.ini" keeps them in the section "Coordinates".
#pragma once

#include <array>

#include "report/dialog/EDialogRules.h"

class TIniFile;

struct TDialogWindowState {
  int Width = 745;   // the expanded window's width
  int Height = 468;  // the expanded window's height without the bottom band
  int Left = 0, Top = 0;
  bool HasLeft = false, HasTop = false;  // else centred on the screen
  int WindowsState = 1;                  // the show state; 1 is a normal window
  std::array<int, 6> Col{89, 92, 126, 126, 200, 61};
  std::array<int, 7> ColMod{72, 110, 170, 80, 70, 120, 250};
  bool Known = false;  // the size was read or measured at least once

  friend bool operator==(const TDialogWindowState&, const TDialogWindowState&) = default;
};

// Every key, each with its default when missing or not a number. Negative values become 0; a
// size that is not positive keeps its default (no window can be shown at zero size).
TDialogWindowState ReadDialogWindowState(TIniFile& ini);
// "Width", "Height", "Left" and "Top" only for a normal window, always "WindowsState" and the
// column widths; nothing at all while the size was never known. False when a write failed.
bool WriteDialogWindowState(TIniFile& ini, const TDialogWindowState& state);

// Where the expanded window goes on a screen of the given size: centred where no position is
// stored, moved back inside where it would pass the right or bottom edge, never negative.
TDialogRect PlaceDialogWindow(const TDialogWindowState& state, int bottomBand, int screenWidth,
                              int screenHeight);
