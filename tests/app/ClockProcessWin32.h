// Dialmoor.exe run from a folder of its own (so that its settings file is the test's), driven
// from outside as a user's tools would: window messages, window texts, styles and positions.
#pragma once

#include "platform/win/WinApi.h"

#include <string>
#include <utility>
#include <vector>

#include "platform/win/UniqueHandle.h"
#include "tests/app/TempFolderWin32.h"

class ClockProcess {
 public:
  // Copies the program into a fresh folder; `settings` (when not empty) becomes its INI file.
  explicit ClockProcess(const std::string& settings = "");
  ~ClockProcess();
  ClockProcess(const ClockProcess&) = delete;
  ClockProcess& operator=(const ClockProcess&) = delete;

  // Starts the program and waits for its clock window; false when it did not appear.
  bool Start();
  // Waits until the first tick has set the caption.
  bool WaitForTick();
  // Closes the window as the title bar's close box does and waits for the process to end.
  bool CloseAndWait(DWORD* exitCode = nullptr);
  bool WaitForExit(DWORD* exitCode = nullptr);

  HWND Window() const { return window_; }
  HWND Panel() const;
  // The label at a design position of the panel's client area.
  HWND LabelAt(int x, int y) const;
  std::string Text(HWND window) const;
  RECT Bounds() const;
  SIZE ClientSize() const;
  LONG Style() const { return GetWindowLongA(window_, GWL_STYLE); }
  LONG ExStyle() const { return GetWindowLongA(window_, GWL_EXSTYLE); }
  // A menu command, sent as the menu sends it (SendMessage returns once it has run).
  void Command(unsigned id) const;
  void PostCommand(unsigned id) const;
  // A visible top-level window of the program with that class and caption (waits a while).
  HWND WaitForWindow(const char* className, const char* caption, bool visible = true) const;
  DWORD ProcessId() const { return process_.dwProcessId; }

  std::string SettingsPath() const { return folder_.File("Dialmoor.INI"); }
  std::string SettingsText() const { return FileBytes(SettingsPath()); }
  const Win32TempFolder& Folder() const { return folder_; }

 private:
  Win32TempFolder folder_;
  PROCESS_INFORMATION process_{};
  UniqueKernelHandle processHandle_, threadHandle_;
  HWND window_ = nullptr;
};

// The section/key/value lines of an INI text, in file order.
using IniLines = std::vector<std::pair<std::string, std::string>>;  // "Section/Key", value
IniLines ParseIni(const std::string& text);

// Dialmoor.exe as the build made it (DM_DIALMOOR_EXE), in Windows form.
std::string DialmoorExe();
