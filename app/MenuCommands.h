// Pop-up menus whose choices arrive at a window as WM_COMMAND with fixed ids, as a menu bar's
// do, so that a command takes the same road whether it was chosen or sent.
#pragma once

#include <windows.h>

#include <utility>
#include <vector>

#include "platform/gui/Menus.h"

class TMenuCommands {
 public:
  // Gives `item` the command id `id` (ids below 100 are the dialog ids IDOK, IDCANCEL, ...).
  void Add(TMenuItem* item, UINT id);
  TMenuItem* Find(UINT id) const;
  // Opens `menu` at a screen point as its Alignment says; the choice is posted to `owner`.
  void Track(const TPopupMenu& menu, HWND owner, int x, int y) const;
  // A WM_COMMAND from a menu with one of our ids runs that item's Click (through the dispatch
  // point); anything else gives false.
  bool Dispatch(WPARAM wParam, LPARAM lParam) const;

 private:
  HMENU Build(const std::vector<TMenuItem*>& items) const;
  UINT IdOf(const TMenuItem* item) const;
  std::vector<std::pair<UINT, TMenuItem*>> commands_;
};
