#include "platform/gui/Menus.h"

#include <windows.h>

#include "platform/gui/Application.h"
#include "platform/gui/Controls.h"
#include "platform/gui/Handles.h"

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

namespace {

// Builds the Win32 menu; `flat` numbers the commands (command id = index + 1).
HMENU BuildMenu(const std::vector<TMenuItem*>& items, std::vector<TMenuItem*>& flat) {
  return BuildPopupMenu(items, [&flat](TMenuItem* item) {
    flat.push_back(item);
    return static_cast<UINT>(flat.size());
  });
}

}  // namespace

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

void TPopupMenu::Popup(int x, int y) {
  Application->Fire(this, OnPopup, this);
  std::vector<TMenuItem*> flat;
  UniqueMenu menu(BuildMenu(MenuItemsOf(*this), flat));
  HWND owner = nullptr;
  if (auto* control = dynamic_cast<TControl*>(PopupComponent)) owner = control->Handle();
  if (!owner) owner = static_cast<HWND>(Application->Handle());
  const UINT align = Alignment == paCenter ? TPM_CENTERALIGN
                     : Alignment == paRight ? TPM_RIGHTALIGN
                                            : TPM_LEFTALIGN;
  SetForegroundWindow(owner);
  const UINT chosen = static_cast<UINT>(TrackPopupMenu(
      menu.get(), align | TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, x, y, 0, owner, nullptr));
  PostMessageA(owner, WM_NULL, 0, 0);  // lets the menu close properly when focus moves away
  if (chosen >= 1 && chosen <= flat.size()) flat[chosen - 1]->Click();
}
