#include "platform/gui/StdCtrlsWin32.h"

#include "platform/gui/FormsWin32.h"

namespace {

constexpr char kLabelClass[] = "DmLabel";
constexpr char kLineBreak[] = "\r\n";

UINT DrawTextAlignment(TAlignment alignment) {
  switch (alignment) {
    case taRightJustify: return DT_RIGHT;
    case taCenter: return DT_CENTER;
    default: return DT_LEFT;
  }
}

TForm* FormOf(TControl* control) {
  for (TControl* c = control; c; c = c->Parent())
    if (auto* form = dynamic_cast<TForm*>(c)) return form;
  return nullptr;
}

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    const size_t end = text.find(kLineBreak, start);
    if (end == std::string::npos) {
      lines.push_back(text.substr(start));
      break;
    }
    lines.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

}  // namespace

TLabel::TLabel(TWinControl* AParent) : TControl(AParent) {
  SetParentColor(true);
  RegisterControlClass(kLabelClass, CS_HREDRAW | CS_VREDRAW, nullptr);
  CreateHandle(kLabelClass, WS_CHILD, 0, AParent->Handle());
}

void TLabel::SetCaption(const std::string& value) {
  TControl::SetCaption(value);
  AdjustSize();
  Invalidate();
}

void TLabel::SetBounds(int left, int top, int width, int height) {
  TControl::SetBounds(left, top, width, height);
  AdjustSize();
}

void TLabel::SetAlignment(TAlignment value) {
  alignment_ = value;
  Invalidate();
}

void TLabel::SetAutoSize(bool value) {
  autoSize_ = value;
  AdjustSize();
}

void TLabel::SetTransparent(bool value) {
  transparent_ = value;
  Invalidate();
}

void TLabel::FontChanged() {
  AdjustSize();
  Invalidate();
}

void TLabel::AdjustSize() {
  if (!autoSize_ || !handle_) return;
  WindowDC dc(handle_);
  SelectedObject font(dc.get(), EffectiveFont());
  std::string text = Caption();
  if (text.empty()) text.push_back(' ');  // the height of one line
  RECT r{0, 0, 0, 0};
  DrawTextA(dc.get(), text.c_str(), static_cast<int>(text.size()), &r,
            DT_CALCRECT | DT_EXPANDTABS | (ShowAccelChar ? 0 : DT_NOPREFIX));
  TControl::SetBounds(Left(), Top(), r.right, r.bottom);
}

void TLabel::Paint(HDC dc) {
  RECT r;
  GetClientRect(handle_, &r);
  // Without a picture behind it, the parent's background is its colour.
  const TColor background =
      transparent_ && Parent() ? Parent()->EffectiveColor() : EffectiveColor();
  FillRect(dc, &r, Brush().Get(background));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, ColorToRGB(enabled_ ? Font().Color() : clGrayText));
  SelectedObject font(dc, EffectiveFont());
  const std::string text = Caption();
  DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &r,
            DrawTextAlignment(alignment_) | DT_EXPANDTABS | DT_WORDBREAK |
                (ShowAccelChar ? 0 : DT_NOPREFIX));
}

LRESULT TLabel::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      Paint(PaintScope(handle_).get());
      return 0;
    case WM_GETDLGCODE:
      return DLGC_STATIC;
    case WM_ENABLE:
      Invalidate();
      break;
    default:
      break;
  }
  return TControl::WndProc(message, wParam, lParam);
}

TButton::TButton(TWinControl* AParent) : TButton(AParent, BS_PUSHBUTTON | WS_TABSTOP) {}

TButton::TButton(TWinControl* AParent, DWORD style) : TControl(AParent) {
  SetParentColor(true);
  CreateHandle("BUTTON", WS_CHILD | style, 0, AParent->Handle());
}

void TButton::Click() {
  if (ModalResult != 0)
    if (TForm* form = FormOf(this)) form->ModalResult = ModalResult;
  Application->Fire(this, OnClick, this);
}

bool TButton::HandleParentCommand(WORD code) {
  if (code != BN_CLICKED) return false;
  Click();
  return true;
}

void TButton::SetDefault(bool value) {
  TForm* form = FormOf(this);
  if (value) {
    SendMessageA(handle_, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
    if (form) form->DefaultButton = this;
  } else {
    SendMessageA(handle_, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
    if (form && form->DefaultButton == this) form->DefaultButton = nullptr;
  }
}

TSpeedButton::TSpeedButton(TWinControl* AParent) : TButton(AParent, BS_PUSHBUTTON) {}

TEdit::TEdit(TWinControl* AParent) : TEdit(AParent, ES_AUTOHSCROLL) {}

TEdit::TEdit(TWinControl* AParent, DWORD style) : TControl(AParent) {
  SetColor(clWindow);
  CreateHandle("EDIT", WS_CHILD | WS_TABSTOP | style, WS_EX_CLIENTEDGE, AParent->Handle());
}

void TEdit::SetReadOnly(bool value) {
  readOnly_ = value;
  SendMessageA(handle_, EM_SETREADONLY, value, 0);
}

void TEdit::SetMaxLength(int value) { SendMessageA(handle_, EM_SETLIMITTEXT, value, 0); }

void TEdit::SetSelStart(int position) { SendMessageA(handle_, EM_SETSEL, position, position); }

bool TEdit::HandleParentCommand(WORD code) {
  if (code != EN_CHANGE) return false;
  Application->Fire(this, OnChange, this);
  return true;
}

TMemo::TMemo(TWinControl* AParent)
    : TEdit(AParent, ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN) {}

void TMemo::SetSelStartAndScroll(int position) {
  SetSelStart(position);
  SendMessageA(handle_, EM_SCROLLCARET, 0, 0);
}

std::string TMemoLines::Text() const { return memo_.Caption(); }
void TMemoLines::SetText(const std::string& text) { memo_.SetCaption(text); }
int TMemoLines::Count() const { return static_cast<int>(SplitLines(Text()).size()); }

std::string TMemoLines::Strings(int index) const {
  const auto lines = SplitLines(Text());
  if (index < 0 || index >= static_cast<int>(lines.size()))
    throw EListError(Format("List index out of bounds (%d)", index));
  return lines[static_cast<size_t>(index)];
}

void TMemoLines::Add(const std::string& line) {
  std::string text = Text();
  if (!text.empty() && text.compare(text.size() < 2 ? 0 : text.size() - 2, 2, kLineBreak) != 0)
    text += kLineBreak;
  SetText(text + line);
}

void TMemoLines::Clear() { SetText(""); }

TGroupBox::TGroupBox(TWinControl* AParent) : TWinControl(AParent) {
  SetParentColor(true);
  CreateContainer(WS_CHILD, 0, AParent->Handle());
}

void TGroupBox::SetCaption(const std::string& value) {
  TWinControl::SetCaption(value);
  Invalidate();
}

void TGroupBox::Paint(HDC dc) {
  RECT r;
  GetClientRect(handle_, &r);
  SelectedObject font(dc, EffectiveFont());
  TEXTMETRICA metrics{};
  GetTextMetricsA(dc, &metrics);
  RECT frame = r;
  frame.top += metrics.tmHeight / 2;
  DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT);
  const std::string text = Caption();
  if (text.empty()) return;
  RECT textRect{8, 0, r.right - 8, metrics.tmHeight};
  DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &textRect,
            DT_CALCRECT | DT_SINGLELINE);
  InflateRect(&textRect, 2, 0);
  FillRect(dc, &textRect, Brush().Get(EffectiveColor()));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, ColorToRGB(Font().Color()));
  DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &textRect,
            DT_SINGLELINE | DT_CENTER);
}

TStaticText::TStaticText(TWinControl* AParent) : TControl(AParent) {
  SetParentColor(true);
  CreateHandle("STATIC", WS_CHILD | SS_LEFT | SS_NOTIFY, 0, AParent->Handle());
}

void TStaticText::SetBorderStyle(TStaticBorderStyle value) {
  borderStyle_ = value;
  ApplyStyle();
}

void TStaticText::SetAlignment(TAlignment value) {
  alignment_ = value;
  ApplyStyle();
}

void TStaticText::ApplyStyle() {
  DWORD style = GetWindowLongA(handle_, GWL_STYLE);
  style &= ~(SS_TYPEMASK | SS_SUNKEN | WS_BORDER);
  style |= alignment_ == taCenter ? SS_CENTER : alignment_ == taRightJustify ? SS_RIGHT : SS_LEFT;
  if (borderStyle_ == sbsSunken) style |= SS_SUNKEN;
  if (borderStyle_ == sbsSingle) style |= WS_BORDER;
  SetWindowLongA(handle_, GWL_STYLE, static_cast<LONG>(style));
  SetWindowPos(handle_, nullptr, 0, 0, 0, 0,
               SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  Invalidate();
}
