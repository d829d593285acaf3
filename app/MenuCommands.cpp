#include "app/MenuCommands.h"

#include "platform/gui/Handles.h"

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

HMENU TMenuCommands::Build(const std::vector<TMenuItem*>& items) const {
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
    info.wID = IdOf(item);
    const auto children = MenuItemsOf(*item);
    if (!children.empty() && !separator) {
      info.fMask |= MIIM_SUBMENU;
      info.hSubMenu = Build(children);
    }
    InsertMenuItemA(menu, GetMenuItemCount(menu), TRUE, &info);
  }
  return menu;
}

void TMenuCommands::Track(const TPopupMenu& menu, HWND owner, int x, int y) const {
  UniqueMenu popup(Build(MenuItemsOf(menu)));
  const UINT align = menu.Alignment == paCenter  ? TPM_CENTERALIGN
                     : menu.Alignment == paRight ? TPM_RIGHTALIGN
                                                 : TPM_LEFTALIGN;
  // Without the foreground the menu would not close when the user clicks elsewhere.
  SetForegroundWindow(owner);
  TrackPopupMenu(popup.get(), align | TPM_RIGHTBUTTON, x, y, 0, owner, nullptr);
  PostMessageA(owner, WM_NULL, 0, 0);
}

bool TMenuCommands::Dispatch(WPARAM wParam, LPARAM lParam) const {
  if (lParam != 0 || HIWORD(wParam) != 0) return false;
  TMenuItem* item = Find(LOWORD(wParam));
  if (!item) return false;
  item->Click();
  return true;
}
