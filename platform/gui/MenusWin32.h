// Pop-up menus with commands, submenus, check marks and radio groups, and command tables that
// turn a menu's choices into WM_COMMAND messages with fixed ids.
#pragma once

#include "platform/win/WinApi.h"

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/gui/Classes.h"

class TMenuItem : public TComponent {
 public:
  // A top-level item of a menu, or a sub-item of another item (its owner).
  explicit TMenuItem(TComponent* AOwner);
  const char* ClassName() const noexcept override { return "TMenuItem"; }
  std::string Caption;
  bool Enabled = true;
  bool Visible = true;
  // A radio item shows a bullet when checked; checking one clears the others of its group.
  bool RadioItem = false;
  int GroupIndex = 0;
  bool Checked() const noexcept { return checked_; }
  void SetChecked(bool value);
  TNotifyEvent OnClick;
  // What choosing the item does: OnClick through the dispatch point.
  void Click();
  // Sub-items, in order.
  int Count() const;
  TMenuItem* Items(int index) const;

 private:
  bool checked_ = false;
};

enum TPopupAlignment { paLeft, paRight, paCenter };

class TControl;

class TPopupMenu : public TComponent {
 public:
  explicit TPopupMenu(TComponent* AOwner);
  const char* ClassName() const noexcept override { return "TPopupMenu"; }
  // The top-level items are the menu's own components of type TMenuItem.
  int Count() const;
  TMenuItem* Items(int index) const;
  TPopupAlignment Alignment = paLeft;
  // The control the menu was last opened for.
  TComponent* PopupComponent = nullptr;
  // Opens the menu at a screen point, waits for the choice and runs the chosen item's Click.
  void Popup(int x, int y);
};

// The components of `owner` that are menu items (sub-items of an item or items of a menu).
std::vector<TMenuItem*> MenuItemsOf(const TComponent& owner);

// A Win32 pop-up menu of the visible items and their sub-items; commandId gives each item's
// command id (asked after the item's sub-items). The caller owns the menu.
HMENU BuildPopupMenu(const std::vector<TMenuItem*>& items,
                     const std::function<UINT(TMenuItem*)>& commandId);

// Pop-up menus whose choices arrive at a window as WM_COMMAND with fixed ids, as a menu bar's
// do, so that a command takes the same road whether it was chosen or sent.
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
  UINT IdOf(const TMenuItem* item) const;
  std::vector<std::pair<UINT, TMenuItem*>> commands_;
};
