// The one owner of Win32 handles: UniqueHandle<Traits>, where the traits name the handle type,
// its invalid value and its release call. Copy is deleted, move hands the handle on, and the
// handle is released on every path. Kernel handles come in two types because CreateFile and
// its kin report failure with INVALID_HANDLE_VALUE where the others return a null handle.
#pragma once

#include "platform/win/WinApi.h"

#include <winsock2.h>
#include <wininet.h>

#include <utility>

template <class Traits>
class UniqueHandle {
 public:
  using Handle = typename Traits::Handle;

  UniqueHandle() noexcept = default;
  explicit UniqueHandle(Handle handle) noexcept : handle_(handle) {}
  UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  ~UniqueHandle() { reset(); }

  Handle get() const noexcept { return handle_; }
  bool valid() const noexcept { return handle_ != Traits::Invalid(); }
  explicit operator bool() const noexcept { return valid(); }
  // Gives up ownership without releasing.
  Handle release() noexcept { return std::exchange(handle_, Traits::Invalid()); }
  void reset(Handle handle = Traits::Invalid()) noexcept {
    const Handle old = std::exchange(handle_, handle);
    if (old != Traits::Invalid()) Traits::Close(old);
  }

 private:
  Handle handle_ = Traits::Invalid();
};

// Processes, threads, events, mutexes, file mappings, pipes: null when absent.
struct KernelHandleTraits {
  using Handle = HANDLE;
  static Handle Invalid() noexcept { return nullptr; }
  static void Close(Handle h) noexcept { ::CloseHandle(h); }
};
// Files and snapshots (CreateFile, CreateToolhelp32Snapshot): INVALID_HANDLE_VALUE when absent.
struct FileHandleTraits {
  using Handle = HANDLE;
  static Handle Invalid() noexcept { return INVALID_HANDLE_VALUE; }
  static void Close(Handle h) noexcept { ::CloseHandle(h); }
};
// FindFirstFile searches.
struct FindHandleTraits {
  using Handle = HANDLE;
  static Handle Invalid() noexcept { return INVALID_HANDLE_VALUE; }
  static void Close(Handle h) noexcept { ::FindClose(h); }
};
// Views of file mappings (MapViewOfFile).
struct MappedViewTraits {
  using Handle = void*;
  static Handle Invalid() noexcept { return nullptr; }
  static void Close(Handle view) noexcept { ::UnmapViewOfFile(view); }
};
// Libraries loaded with LoadLibrary (not module handles from GetModuleHandle).
struct ModuleTraits {
  using Handle = HMODULE;
  static Handle Invalid() noexcept { return nullptr; }
  static void Close(Handle h) noexcept { ::FreeLibrary(h); }
};
// Opened or created registry keys (never the predefined roots).
struct RegKeyTraits {
  using Handle = HKEY;
  static Handle Invalid() noexcept { return nullptr; }
  static void Close(Handle h) noexcept { ::RegCloseKey(h); }
};
// Fonts, brushes, pens, bitmaps, regions: one traits type per handle type, one release call.
template <class GdiHandle>
struct GdiObjectTraits {
  using Handle = GdiHandle;
  static Handle Invalid() noexcept { return nullptr; }
  static void Close(Handle h) noexcept { ::DeleteObject(h); }
};
// Memory device contexts from CreateCompatibleDC.
struct MemoryDCTraits {
  using Handle = HDC;
  static Handle Invalid() noexcept { return nullptr; }
  static void Close(Handle h) noexcept { ::DeleteDC(h); }
};
struct WindowTraits {
  using Handle = HWND;
  static Handle Invalid() noexcept { return nullptr; }
  static void Close(Handle h) noexcept { ::DestroyWindow(h); }
};
struct MenuTraits {
  using Handle = HMENU;
  static Handle Invalid() noexcept { return nullptr; }
  static void Close(Handle h) noexcept { ::DestroyMenu(h); }
};
// Message hooks of a thread (SetWindowsHookEx).
struct HookTraits {
  using Handle = HHOOK;
  static Handle Invalid() noexcept { return nullptr; }
  static void Close(Handle h) noexcept { ::UnhookWindowsHookEx(h); }
};
// Cursors loaded with LoadImage (not shared ones from LoadCursor).
struct CursorTraits {
  using Handle = HCURSOR;
  static Handle Invalid() noexcept { return nullptr; }
  static void Close(Handle h) noexcept { ::DestroyCursor(h); }
};
// WinSock sockets (link ws2_32 where used).
struct SocketTraits {
  using Handle = SOCKET;
  static Handle Invalid() noexcept { return INVALID_SOCKET; }
  static void Close(Handle s) noexcept { ::closesocket(s); }
};
// WinInet sessions, connections and requests (link wininet where used).
struct InternetHandleTraits {
  using Handle = HINTERNET;
  static Handle Invalid() noexcept { return nullptr; }
  static void Close(Handle h) noexcept { ::InternetCloseHandle(h); }
};

using UniqueKernelHandle = UniqueHandle<KernelHandleTraits>;
using UniqueFileHandle = UniqueHandle<FileHandleTraits>;
using UniqueFindHandle = UniqueHandle<FindHandleTraits>;
using UniqueMappedView = UniqueHandle<MappedViewTraits>;
using UniqueModule = UniqueHandle<ModuleTraits>;
using UniqueRegKey = UniqueHandle<RegKeyTraits>;
using UniqueFont = UniqueHandle<GdiObjectTraits<HFONT>>;
using UniqueBrush = UniqueHandle<GdiObjectTraits<HBRUSH>>;
using UniquePen = UniqueHandle<GdiObjectTraits<HPEN>>;
using UniqueBitmap = UniqueHandle<GdiObjectTraits<HBITMAP>>;
using UniqueMemoryDC = UniqueHandle<MemoryDCTraits>;
using UniqueWindow = UniqueHandle<WindowTraits>;
using UniqueMenu = UniqueHandle<MenuTraits>;
using UniqueHook = UniqueHandle<HookTraits>;
using UniqueCursor = UniqueHandle<CursorTraits>;
using UniqueSocket = UniqueHandle<SocketTraits>;
using UniqueInternetHandle = UniqueHandle<InternetHandleTraits>;

// A timer of a window (a window and an id, not one handle), killed on release.
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

// A device context obtained with GetDC (or GetWindowDC), released with ReleaseDC.
class WindowDC {
 public:
  // The client area's DC; with wholeWindow, the window's own (frame and caption included).
  explicit WindowDC(HWND window, bool wholeWindow = false) noexcept
      : window_(window), dc_(wholeWindow ? GetWindowDC(window) : GetDC(window)) {}
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
