// The command ids of the clock window's pop-up menu: the menu sends them to the window as
// WM_COMMAND, and so can anything else that wants to run a command of the clock.
#pragma once

enum ClockCommand : unsigned {
  cmdOnTop = 101,
  cmdTitleBar,
  cmdPlain,
  cmdPictureFrame,
  cmdChannel,
  cmdRaised,
  cmdLowered,
  cmdBackground,
  cmdText,
  cmdAbout,
  cmdExit,
};

// The window class of the clock window and of the about dialog, as FindWindow sees them.
inline constexpr char kClockWindowClass[] = "DmForm";
inline constexpr char kClockCaption[] = "Dialmoor";
inline constexpr char kAboutCaption[] = "About";
