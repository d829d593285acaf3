// Controls: every control owns a window; containers (forms, panels, group boxes) are windows
// of the runtime's own classes and route what their child windows report (WM_COMMAND,
// WM_NOTIFY, WM_CTLCOLOR*) to the child control objects.
#pragma once

#include "platform/win/WinApi.h"

#include <string>
#include <vector>

#include "platform/gui/ApplicationWin32.h"
#include "platform/gui/Classes.h"
#include "platform/gui/GraphicsWin32.h"
#include "platform/win/UniqueHandle.h"

class TWinControl;
class TPopupMenu;

enum TAlignment { taLeftJustify, taRightJustify, taCenter };
enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };

class TControl : public TComponent {
 public:
  ~TControl() override;
  const char* ClassName() const noexcept override { return "TControl"; }

  HWND Handle() const noexcept { return handle_; }
  TWinControl* Parent() const noexcept { return parent_; }

  int Left() const noexcept { return left_; }
  int Top() const noexcept { return top_; }
  int Width() const noexcept { return width_; }
  int Height() const noexcept { return height_; }
  virtual void SetBounds(int left, int top, int width, int height);
  void SetLeft(int v) { SetBounds(v, top_, width_, height_); }
  void SetTop(int v) { SetBounds(left_, v, width_, height_); }
  void SetWidth(int v) { SetBounds(left_, top_, v, height_); }
  void SetHeight(int v) { SetBounds(left_, top_, width_, v); }

  bool Visible() const noexcept { return visible_; }
  virtual void SetVisible(bool value);
  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }
  bool Enabled() const noexcept { return enabled_; }
  virtual void SetEnabled(bool value);

  // The window text (Caption and Text are the same thing, as in the runtime).
  std::string Caption() const;
  virtual void SetCaption(const std::string& value);
  std::string Text() const { return Caption(); }
  void SetText(const std::string& value) { SetCaption(value); }

  TFont& Font() noexcept { return font_; }
  TColor Color() const noexcept { return color_; }
  void SetColor(TColor value);
  bool ParentColor() const noexcept { return parentColor_; }
  void SetParentColor(bool value);
  // The colour the control paints its background with (its parent's while ParentColor).
  TColor EffectiveColor() const;
  HFONT EffectiveFont() const;

  TAlign Align() const noexcept { return align_; }
  void SetAlign(TAlign value);

  // A cursor number of Application->Cursor(); 0 leaves the window class's cursor.
  int Cursor = 0;
  // The status-line text for the control (text after "|" when it holds two parts); with
  // ShowHint the text before "|" also shows as a tooltip while the mouse rests on it or on a
  // child control of the runtime's classes without a hint of its own.
  std::string Hint;
  bool ShowHint() const noexcept { return static_cast<bool>(tooltip_); }
  // Takes the Hint as it is now: set Hint first.
  void SetShowHint(bool value);
  TPopupMenu* PopupMenu = nullptr;

  void SetFocus();
  void Invalidate();

  // What the control's own window reported to its parent; true when handled.
  virtual bool HandleParentCommand(WORD code);
  virtual bool HandleParentNotify(NMHDR* header, LRESULT& result);
  // The brush for WM_CTLCOLOR* (nullptr: the default).
  virtual HBRUSH HandleCtlColor(HDC dc);

  // The control whose window this is (or the nearest ancestor window that is one).
  static TControl* FromHandle(HWND window);

 protected:
  // Controls are owned by their parent and made with it (nullptr only for forms).
  explicit TControl(TWinControl* AParent);
  // Creates the window. Classes of the runtime get `this` through WM_NCCREATE and their
  // messages in WndProc; system classes are tagged so that routing finds them.
  void CreateHandle(const char* windowClass, DWORD style, DWORD exStyle, HWND parentWindow);
  // Messages of windows of the runtime's own classes.
  virtual LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT DefaultProc(UINT message, WPARAM wParam, LPARAM lParam);
  virtual void FontChanged();
  virtual void ColorChanged() { Invalidate(); }
  TBrushCache& Brush() noexcept { return brush_; }
  // A window class of the runtime's own, whose messages reach WndProc of the window's control.
  static const char* RegisterControlClass(const char* name, UINT classStyle, HBRUSH background);
  // Makes a helper window of the control (the arrows of a spin edit) count as the control
  // for hints and routing; untag it before destroying it.
  void TagWindow(HWND window);
  static void UntagWindow(HWND window);

  HWND handle_ = nullptr;
  bool ownClass_ = false;
  bool visible_ = true;
  bool enabled_ = true;

 private:
  friend class TWinControl;
  template <class Owner>
  friend LRESULT CALLBACK WindowTrampoline(HWND, UINT, WPARAM, LPARAM);
  // Every message of a window of the runtime's classes, through the dispatch point.
  LRESULT WindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
  TWinControl* parent_;
  void AdoptParentFont();
  int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
  bool parentFont_ = true;
  bool syncingFont_ = false;
  bool parentColor_ = false;
  TColor color_ = clBtnFace;
  TAlign align_ = alNone;
  TFont font_;
  TBrushCache brush_;
  UniqueWindow tooltip_;
  std::vector<HWND> tipWindows_;  // child windows that show this control's tooltip
  void AddTipWindow(HWND window);
  TControl* TooltipOwner() noexcept;
  void RelayToTooltip(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void ForgetTipWindow(HWND window);
};

// A control that holds other controls.
class TWinControl : public TControl {
 public:
  const char* ClassName() const noexcept override { return "TWinControl"; }
  int ControlCount() const;
  TControl* Controls(int index) const;
  // Lays out the children with an Align other than alNone.
  void Realign();
  virtual RECT AlignRect() const;

 protected:
  explicit TWinControl(TWinControl* AParent);
  ~TWinControl() override;
  LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  void FontChanged() override;
  void ColorChanged() override;
  // Creates a container window of the runtime's class.
  void CreateContainer(DWORD style, DWORD exStyle, HWND parentWindow);
  virtual void Paint(HDC dc);

 private:
  friend class TControl;
  UINT nextId_ = 100;
};

// The part of a hint text after "|", or the whole text.
std::string GetLongHint(const std::string& hint);
// The part of a hint text before "|", or the whole text.
std::string GetShortHint(const std::string& hint);
// The Alt+key character that "&" marks in a caption (lower case), or 0.
char MnemonicOf(const std::string& caption);

// Commctrl and the window classes, once per process.
void InitGuiRuntime();
