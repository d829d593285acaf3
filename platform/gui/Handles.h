// One owning type per Win32 handle kind: copy deleted, move allowed, released on every path.
#pragma once

#include <windows.h>

#include <utility>

template <class Traits>
class UniqueHandle {
 public:
  using Handle = typename Traits::Handle;
  UniqueHandle() noexcept = default;
  explicit UniqueHandle(Handle handle) noexcept : handle_(handle) {}
  UniqueHandle(UniqueHandle&& other) noexcept : handle_(std::exchange(other.handle_, Handle{})) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) reset(std::exchange(other.handle_, Handle{}));
    return *this;
  }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  ~UniqueHandle() { reset(); }

  Handle get() const noexcept { return handle_; }
  explicit operator bool() const noexcept { return handle_ != Handle{}; }
  Handle release() noexcept { return std::exchange(handle_, Handle{}); }
  void reset(Handle handle = Handle{}) noexcept {
    if (handle_ != Handle{}) Traits::Close(handle_);
    handle_ = handle;
  }

 private:
  Handle handle_{};
};

struct FontTraits {
  using Handle = HFONT;
  static void Close(HFONT h) noexcept { DeleteObject(h); }
};
struct BrushTraits {
  using Handle = HBRUSH;
  static void Close(HBRUSH h) noexcept { DeleteObject(h); }
};
struct WindowTraits {
  using Handle = HWND;
  static void Close(HWND h) noexcept { DestroyWindow(h); }
};
struct MenuTraits {
  using Handle = HMENU;
  static void Close(HMENU h) noexcept { DestroyMenu(h); }
};
// Memory device contexts from CreateCompatibleDC.
struct MemoryDCTraits {
  using Handle = HDC;
  static void Close(HDC h) noexcept { DeleteDC(h); }
};
// Cursors loaded with LoadImage (not shared ones from LoadCursor).
struct CursorTraits {
  using Handle = HCURSOR;
  static void Close(HCURSOR h) noexcept { DestroyCursor(h); }
};

using UniqueFont = UniqueHandle<FontTraits>;
using UniqueBrush = UniqueHandle<BrushTraits>;
using UniqueWindow = UniqueHandle<WindowTraits>;
using UniqueMenu = UniqueHandle<MenuTraits>;
using UniqueCursor = UniqueHandle<CursorTraits>;
using UniqueMemoryDC = UniqueHandle<MemoryDCTraits>;

// A timer of a window, killed on release.
class UniqueTimer {
 public:
  UniqueTimer() noexcept = default;
  UniqueTimer(HWND window, UINT_PTR id) noexcept : window_(window), id_(id) {}
  UniqueTimer(UniqueTimer&& other) noexcept
      : window_(std::exchange(other.window_, nullptr)), id_(std::exchange(other.id_, 0)) {}
  UniqueTimer& operator=(UniqueTimer&& other) noexcept {
    if (this != &other) {
      reset();
      window_ = std::exchange(other.window_, nullptr);
      id_ = std::exchange(other.id_, 0);
    }
    return *this;
  }
  UniqueTimer(const UniqueTimer&) = delete;
  UniqueTimer& operator=(const UniqueTimer&) = delete;
  ~UniqueTimer() { reset(); }
  explicit operator bool() const noexcept { return id_ != 0; }
  void reset() noexcept {
    if (id_) KillTimer(window_, id_);
    window_ = nullptr;
    id_ = 0;
  }

 private:
  HWND window_ = nullptr;
  UINT_PTR id_ = 0;
};

// A device context obtained with GetDC, released with ReleaseDC.
class WindowDC {
 public:
  explicit WindowDC(HWND window) noexcept : window_(window), dc_(GetDC(window)) {}
  WindowDC(const WindowDC&) = delete;
  WindowDC& operator=(const WindowDC&) = delete;
  ~WindowDC() {
    if (dc_) ReleaseDC(window_, dc_);
  }
  HDC get() const noexcept { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

// The BeginPaint and EndPaint of a WM_PAINT: EndPaint also when painting raises.
class PaintScope {
 public:
  explicit PaintScope(HWND window) noexcept : window_(window), dc_(BeginPaint(window, &paint_)) {}
  PaintScope(const PaintScope&) = delete;
  PaintScope& operator=(const PaintScope&) = delete;
  ~PaintScope() { EndPaint(window_, &paint_); }
  HDC get() const noexcept { return dc_; }

 private:
  HWND window_;
  PAINTSTRUCT paint_;
  HDC dc_;
};

// Selects an object into a DC for a scope and puts the previous one back.
class SelectedObject {
 public:
  SelectedObject(HDC dc, HGDIOBJ object) noexcept : dc_(dc), previous_(SelectObject(dc, object)) {}
  SelectedObject(const SelectedObject&) = delete;
  SelectedObject& operator=(const SelectedObject&) = delete;
  ~SelectedObject() { SelectObject(dc_, previous_); }

 private:
  HDC dc_;
  HGDIOBJ previous_;
};
