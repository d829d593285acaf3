#include "report/dialog/EDialogPagesWin32.h"

#include <richedit.h>

#include <algorithm>
#include <cstring>

bool TDialogPage::OnNotify(int id, NMHDR* header, LRESULT& result) {
  return id == PageControlId && onNotify_ && onNotify_(*header, result);
}

bool TDialogPage::OnMessage(UINT message, WPARAM, LPARAM lParam, INT_PTR&) {
  if (message != WM_SIZE) return false;
  const int width = LOWORD(lParam), height = HIWORD(lParam);
  constexpr int headerHeight = 16;
  MoveWindow(Item(PageHeaderId), 4, 2, std::max(width - 8, 0), headerHeight - 2, TRUE);
  MoveWindow(Item(PageControlId), 4, headerHeight + 2, std::max(width - 8, 0),
             std::max(height - headerHeight - 6, 0), TRUE);
  return true;
}

namespace {

struct TRtfSource {
  const std::string* Text;
  std::size_t Position;
};

DWORD CALLBACK ReadRtf(DWORD_PTR cookie, LPBYTE buffer, LONG size, LONG* read) {
  auto* source = reinterpret_cast<TRtfSource*>(cookie);
  const std::size_t n =
      std::min(static_cast<std::size_t>(size), source->Text->size() - source->Position);
  std::memcpy(buffer, source->Text->data() + source->Position, n);
  source->Position += n;
  *read = static_cast<LONG>(n);
  return 0;
}

}  // namespace

void LoadRichText(HWND richEdit, const std::string& rtf) {
  TRtfSource source{&rtf, 0};
  EDITSTREAM stream{};
  stream.dwCookie = reinterpret_cast<DWORD_PTR>(&source);
  stream.pfnCallback = &ReadRtf;
  SendMessageA(richEdit, EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(&stream));
  SendMessageA(richEdit, EM_SETSEL, 0, 0);
}
