// A page of the error dialog's tab control: a child dialog from its own template with a header
// text (item 102) above its one control (item 103), which fills the page.
#pragma once

#include "platform/win/WinApi.h"

#include <functional>
#include <string>

#include "platform/win/ModalDialog.h"

constexpr int PageHeaderId = 102;
constexpr int PageControlId = 103;

class TDialogPage final : public TModalDialog {
 public:
  using NotifyHandler = std::function<bool(const NMHDR&, LRESULT&)>;
  explicit TDialogPage(NotifyHandler onNotify) : onNotify_(std::move(onNotify)) {}
  const char* ClassName() const noexcept override { return "TDialogPage"; }

  HWND Control() const noexcept { return Item(PageControlId); }

 protected:
  bool OnCommand(int, int, HWND) override { return false; }
  bool OnNotify(int id, NMHDR* header, LRESULT& result) override;
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;

 private:
  NotifyHandler onNotify_;
};

// Puts an RTF document into a rich-edit control.
void LoadRichText(HWND richEdit, const std::string& rtf);
