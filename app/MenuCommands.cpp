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
  return BuildPopupMenu(items, [this](TMenuItem* item) { return IdOf(item); });
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
