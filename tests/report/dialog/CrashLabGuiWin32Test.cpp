// The dialog inside the whole reporting sequence: CrashLabGui.exe, a window program, shows it
// for an exception of a handler, and what the user picks there decides what the sequence does.
#include "platform/win/WinApi.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "platform/win/UniqueHandle.h"

namespace {

std::string WindowsPath(const char* variable) {
  const char* path = std::getenv(variable);
  if (!path) return {};
  std::string p = path;
  if (!p.empty() && p[0] == '/') p = "Z:" + p;
  for (char& c : p)
    if (c == '/') c = '\\';
  return p;
}

struct Lab {
  UniqueKernelHandle process;
  DWORD id = 0;
};

Lab StartLab(const std::string& options, const char* labCase) {
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  const std::string file = std::string(temp) + "CrashLabGuiDialog.ini";
  std::ofstream(file, std::ios::binary) << options;
  std::string command =
      "\"" + WindowsPath("DM_CRASHLAB_GUI") + "\" --options \"" + file + "\" " + labCase;
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  Lab lab;
  if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &info))
    return lab;
  CloseHandle(info.hThread);
  lab.process.reset(info.hProcess);
  lab.id = info.dwProcessId;
  return lab;
}

struct Search {
  DWORD process;
  HWND found;
};

BOOL CALLBACK FindDialog(HWND window, LPARAM parameter) {
  auto* s = reinterpret_cast<Search*>(parameter);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  char name[16] = {};
  GetClassNameA(window, name, sizeof name);
  if (process == s->process && IsWindowVisible(window) && std::string(name) == "#32770" &&
      GetDlgItem(window, 1000)) {
    s->found = window;
    return FALSE;
  }
  return TRUE;
}

HWND WaitForDialog(const Lab& lab) {
  for (int i = 0; i < 1500; ++i) {
    Search s{lab.id, nullptr};
    EnumWindows(&FindDialog, reinterpret_cast<LPARAM>(&s));
    if (s.found) return s.found;
    if (WaitForSingleObject(lab.process.get(), 20) == WAIT_OBJECT_0) return nullptr;
  }
  return nullptr;
}

DWORD ExitCode(const Lab& lab) {
  if (WaitForSingleObject(lab.process.get(), 30000) != WAIT_OBJECT_0) {
    TerminateProcess(lab.process.get(), 99);
    return 99;
  }
  DWORD code = 0;
  GetExitCodeProcess(lab.process.get(), &code);
  return code;
}

std::string ClipboardText() {
  std::string text;
  if (!OpenClipboard(nullptr)) return text;
  if (HANDLE data = GetClipboardData(CF_TEXT)) {
    if (const char* bytes = static_cast<const char*>(GlobalLock(data))) {
      text = bytes;
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return text;
}

constexpr const char* Options =
    "[Options]\n"
    "DialogFlags = dfShowDialog, dfShowCopyOption, dfShowDetailsButton\n"
    "CloseButtonAfter = 0\n"
    "CloseButtonAction = cbaTerminate\n";

TEST(CrashLabGuiDialog, CopyBoxPutsTheReportOnTheClipboardAndOkLetsTheProgramGoOn) {
  ASSERT_FALSE(WindowsPath("DM_CRASHLAB_GUI").empty());
  if (OpenClipboard(nullptr)) {
    EmptyClipboard();
    CloseClipboard();
  }
  const Lab lab = StartLab(Options, "throw-handler");
  ASSERT_TRUE(lab.process);
  HWND dialog = WaitForDialog(lab);
  ASSERT_TRUE(dialog);
  EXPECT_TRUE(IsWindowVisible(GetDlgItem(dialog, 3))) << "CloseButtonAfter 0: from the first error";
  SendMessageA(GetDlgItem(dialog, 5000), BM_SETCHECK, BST_CHECKED, 0);
  PostMessageA(GetDlgItem(dialog, 2), BM_CLICK, 0, 0);
  EXPECT_EQ(ExitCode(lab), 0u) << "a handler's exception leaves the program running";
  const std::string copied = ClipboardText();
  EXPECT_EQ(copied.rfind("OskedaLog 5.1.12\r\n", 0), 0u) << copied.substr(0, 200);
  EXPECT_NE(copied.find("CrashLab handler failure"), std::string::npos);
}

TEST(CrashLabGuiDialog, CloseProgramButtonTerminates) {
  const Lab lab = StartLab(Options, "throw-handler");
  ASSERT_TRUE(lab.process);
  HWND dialog = WaitForDialog(lab);
  ASSERT_TRUE(dialog);
  PostMessageA(GetDlgItem(dialog, 3), BM_CLICK, 0, 0);
  EXPECT_EQ(ExitCode(lab), 1u) << "terminated by the reporter with exit code 1";
}

}  // namespace
