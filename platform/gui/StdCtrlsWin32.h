// Labels, buttons, edits, memos, group boxes and static texts.
#pragma once

#include <string>

#include "platform/gui/ControlsWin32.h"

// A label: a window of the runtime's own class that paints its caption (so its text can be
// read with WM_GETTEXT and it answers the mouse for hints and cursors).
class TLabel : public TControl {
 public:
  explicit TLabel(TWinControl* AParent);
  const char* ClassName() const noexcept override { return "TLabel"; }
  void SetCaption(const std::string& value) override;
  // With AutoSize the width and height given are replaced by the caption's.
  void SetBounds(int left, int top, int width, int height) override;
  TAlignment Alignment() const noexcept { return alignment_; }
  void SetAlignment(TAlignment value);
  // While set, the label takes the size of its caption.
  bool AutoSize() const noexcept { return autoSize_; }
  void SetAutoSize(bool value);
  // A transparent label paints no background of its own: its parent's shows through.
  void SetTransparent(bool value);
  // "&" marks the mnemonic whose Alt+key focuses FocusControl.
  bool ShowAccelChar = true;
  TControl* FocusControl = nullptr;

 protected:
  LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  void FontChanged() override;

 private:
  void Paint(HDC dc);
  void AdjustSize();
  TAlignment alignment_ = taLeftJustify;
  bool autoSize_ = true;
  bool transparent_ = false;
};

class TButton : public TControl {
 public:
  explicit TButton(TWinControl* AParent);
  const char* ClassName() const noexcept override { return "TButton"; }
  // What a click does: the form's ModalResult is set (when this button has one), then
  // OnClick runs through the dispatch point.
  virtual void Click();
  // The button that Enter presses on its form.
  void SetDefault(bool value);
  int ModalResult = 0;
  TNotifyEvent OnClick;
  bool HandleParentCommand(WORD code) override;

 protected:
  TButton(TWinControl* AParent, DWORD style);
};

// A button that is not a tab stop (it takes no keyboard focus by tabbing).
class TSpeedButton : public TButton {
 public:
  explicit TSpeedButton(TWinControl* AParent);
  const char* ClassName() const noexcept override { return "TSpeedButton"; }
};

class TEdit : public TControl {
 public:
  explicit TEdit(TWinControl* AParent);
  const char* ClassName() const noexcept override { return "TEdit"; }
  bool ReadOnly() const noexcept { return readOnly_; }
  virtual void SetReadOnly(bool value);
  // 0: no limit.
  void SetMaxLength(int value);
  void SetSelStart(int position);
  // Raised by every change of the text, the program's own included.
  TNotifyEvent OnChange;
  bool HandleParentCommand(WORD code) override;

 protected:
  TEdit(TWinControl* AParent, DWORD style);

 private:
  bool readOnly_ = false;
};

class TMemo;

// The lines of a memo, kept in the memo's window text with CR LF between lines.
class TMemoLines {
 public:
  explicit TMemoLines(TMemo& memo) : memo_(memo) {}
  int Count() const;
  std::string Strings(int index) const;
  void Add(const std::string& line);
  void Clear();
  std::string Text() const;
  void SetText(const std::string& text);

 private:
  TMemo& memo_;
};

class TMemo : public TEdit {
 public:
  explicit TMemo(TWinControl* AParent);
  const char* ClassName() const noexcept override { return "TMemo"; }
  TMemoLines& Lines() noexcept { return lines_; }
  void Clear() { lines_.Clear(); }
  // Puts the caret at `position` and scrolls it into view.
  void SetSelStartAndScroll(int position);

 private:
  TMemoLines lines_{*this};
};

class TGroupBox : public TWinControl {
 public:
  explicit TGroupBox(TWinControl* AParent);
  const char* ClassName() const noexcept override { return "TGroupBox"; }
  void SetCaption(const std::string& value) override;

 protected:
  void Paint(HDC dc) override;
};

enum TStaticBorderStyle { sbsNone, sbsSingle, sbsSunken };

class TStaticText : public TControl {
 public:
  explicit TStaticText(TWinControl* AParent);
  const char* ClassName() const noexcept override { return "TStaticText"; }
  void SetBorderStyle(TStaticBorderStyle value);
  void SetAlignment(TAlignment value);

 private:
  void ApplyStyle();
  TStaticBorderStyle borderStyle_ = sbsNone;
  TAlignment alignment_ = taLeftJustify;
};
