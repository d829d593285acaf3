// The freeze watcher's rules that need no window: which window it watches and how it counts the
// time that window has not answered.
#pragma once

#include <cstdint>
#include <optional>

// One ping waits this long for an answer; an unanswered ping adds as much to the count.
constexpr std::int32_t FreezePingMs = 50;
// After an answer the watcher rests this many ping periods before it pings again.
constexpr int FreezeRestPings = 5;
// The limit in force when the options give no usable FreezeSeconds.
constexpr std::int32_t DefaultFreezeSeconds = 60;

enum class TPingResult {
  Answered,    // the window handled the ping
  Unanswered,  // it timed out or the window is hung, and the window still exists
  WindowGone,  // the window was destroyed
};

// What the watcher does after a ping.
enum class TFreezeStep {
  Ping,        // ping again at once
  Rest,        // the window answered: rest, then ping again
  FindWindow,  // the window is gone: look for the program's window again
  Report,      // unanswered for the whole limit: report a freeze, then start counting again
};

// The count of unanswered milliseconds of the watched window.
class TFreezeCount {
 public:
  // freezeSeconds below 1 (a damaged options file) mean DefaultFreezeSeconds.
  explicit TFreezeCount(std::int32_t freezeSeconds) { SetLimit(freezeSeconds); }

  // Takes the limit of the options as they are now; the count so far is kept.
  void SetLimit(std::int32_t freezeSeconds);
  TFreezeStep After(TPingResult result);

  std::int64_t ElapsedMs() const { return elapsedMs_; }
  std::int64_t LimitMs() const { return limitMs_; }

 private:
  std::int64_t elapsedMs_ = 0;
  std::int64_t limitMs_ = 0;
};

// What the window search knows of a top-level window of the program's main thread.
struct TWindowFacts {
  bool Visible = false;
  bool ToolWindow = false;  // WS_EX_TOOLWINDOW
  bool AppWindow = false;   // WS_EX_APPWINDOW
};

// Whether the watcher takes this window as the program's main window. owner: the window's owner
// (none when the desktop owns it); ownerIsOwned: whether that owner has an owner of its own.
// A tool window or a hidden window as owner (the runtime's application window that owns every
// form) is skipped over once: its own owner counts.
bool IsFreezeWatchWindow(const TWindowFacts& window, const std::optional<TWindowFacts>& owner,
                         bool ownerIsOwned);
