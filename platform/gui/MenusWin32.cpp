#include "platform/gui/MenusWin32.h"

#include "platform/win/WinApi.h"

#include "platform/gui/ApplicationWin32.h"
#include "platform/gui/ControlsWin32.h"
#include "platform/win/UniqueHandle.h"

HMENU BuildPopupMenu(const std::vector<TMenuItem*>& items,
                     const std::function<UINT(TMenuItem*)>& commandId) {
  HMENU menu = CreatePopupMenu();
  for (TMenuItem* item : items) {
    if (!item->Visible) continue;
    MENUITEMINFOA info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_STRING | MIIM_ID;
    const bool separator = item->Caption == "-";
    info.fType = separator ? MFT_SEPARATOR : (item->RadioItem ? MFT_RADIOCHECK : MFT_STRING);
    info.fState = (item->Checked() ? MFS_CHECKED : 0) | (item->Enabled ? 0 : MFS_DISABLED);
    info.dwTypeData = const_cast<char*>(item->Caption.c_str());
    const auto children = MenuItemsOf(*item);
    if (!children.empty() && !separator) {
      info.fMask |= MIIM_SUBMENU;
      info.hSubMenu = BuildPopupMenu(children, commandId);
    }
    info.wID = commandId(item);
    InsertMenuItemA(menu, GetMenuItemCount(menu), TRUE, &info);
  }
  return menu;
}

std::vector<TMenuItem*> MenuItemsOf(const TComponent& owner) {
  std::vector<TMenuItem*> items;
  for (int i = 0; i < owner.ComponentCount(); ++i)
    if (auto* item = dynamic_cast<TMenuItem*>(owner.Components(i))) items.push_back(item);
  return items;
}

TMenuItem::TMenuItem(TComponent* AOwner) : TComponent(AOwner) {}

void TMenuItem::SetChecked(bool value) {
  checked_ = value;
  if (value && RadioItem && Owner())
    for (TMenuItem* sibling : MenuItemsOf(*Owner()))
      if (sibling != this && sibling->RadioItem && sibling->GroupIndex == GroupIndex)
        sibling->checked_ = false;
}

void TMenuItem::Click() {
  if (Enabled) Application->Fire(this, OnClick, this);
}

int TMenuItem::Count() const { return static_cast<int>(MenuItemsOf(*this).size()); }
TMenuItem* TMenuItem::Items(int index) const { return MenuItemsOf(*this).at(static_cast<size_t>(index)); }

TPopupMenu::TPopupMenu(TComponent* AOwner) : TComponent(AOwner) {}

int TPopupMenu::Count() const { return static_cast<int>(MenuItemsOf(*this).size()); }
TMenuItem* TPopupMenu::Items(int index) const { return MenuItemsOf(*this).at(static_cast<size_t>(index)); }

namespace {

// The one road of every pop-up menu onto the screen: opens the Win32 menu of `menu`'s items
// with the menu's alignment and returns what TrackPopupMenu returns for `flags`.
UINT TrackPopup(const TPopupMenu& menu, const std::function<UINT(TMenuItem*)>& commandId,
                HWND owner, int x, int y, UINT flags) {
  UniqueMenu popup(BuildPopupMenu(MenuItemsOf(menu), commandId));
  const UINT align = menu.Alignment == paCenter  ? TPM_CENTERALIGN
                     : menu.Alignment == paRight ? TPM_RIGHTALIGN
                                                 : TPM_LEFTALIGN;
  // Without the foreground the menu would not close when the user clicks elsewhere.
  SetForegroundWindow(owner);
  const UINT chosen = static_cast<UINT>(
      TrackPopupMenu(popup.get(), align | TPM_RIGHTBUTTON | flags, x, y, 0, owner, nullptr));
  PostMessageA(owner, WM_NULL, 0, 0);  // lets the menu close properly when focus moves away
  return chosen;
}

}  // namespace

void TPopupMenu::Popup(int x, int y) {
  HWND owner = nullptr;
  if (auto* control = dynamic_cast<TControl*>(PopupComponent)) owner = control->Handle();
  if (!owner) owner = Application->Handle();
  // Commands numbered in build order (id = index + 1), chosen and run here.
  std::vector<TMenuItem*> flat;
  const UINT chosen = TrackPopup(
      *this,
      [&flat](TMenuItem* item) {
        flat.push_back(item);
        return static_cast<UINT>(flat.size());
      },
      owner, x, y, TPM_RETURNCMD | TPM_NONOTIFY);
  if (chosen >= 1 && chosen <= flat.size()) flat[chosen - 1]->Click();
}

void TMenuCommands::Add(TMenuItem* item, UINT id) { commands_.emplace_back(id, item); }

TMenuItem* TMenuCommands::Find(UINT id) const {
  for (const auto& [commandId, item] : commands_)
    if (commandId == id) return item;
  return nullptr;
}

UINT TMenuCommands::IdOf(const TMenuItem* item) const {
  for (const auto& [commandId, known] : commands_)
    if (known == item) return commandId;
  return 0;
}

void TMenuCommands::Track(const TPopupMenu& menu, HWND owner, int x, int y) const {
  TrackPopup(menu, [this](TMenuItem* item) { return IdOf(item); }, owner, x, y, 0);
}

bool TMenuCommands::Dispatch(WPARAM wParam, LPARAM lParam) const {
  if (lParam != 0 || HIWORD(wParam) != 0) return false;
  TMenuItem* item = Find(LOWORD(wParam));
  if (!item) return false;
  item->Click();
  return true;
}
