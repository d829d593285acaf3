// The real Dialmoor.exe carries the repository's reporting options and the debug information
// of its own code, loads them at start and publishes the options while it runs. The program is
// run from a copy in a folder of the test's own, so its settings file lands there.
#include <gtest/gtest.h>
#include "platform/win/WinApi.h"
#include <tlhelp32.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "report/options/EConfigContainer.h"
#include "report/options/EConfigFile.h"
#include "report/options/ECoreOptionsEx.h"
#include "report/options/ESharedAreaWin32.h"
#include "platform/win/UniqueHandle.h"

namespace {

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

unsigned LineOf(const std::string& source, const std::string& text) {
  std::istringstream in(source);
  std::string line;
  for (unsigned number = 1; std::getline(in, line); ++number)
    if (line.find(text) != std::string::npos) return number;
  return 0;
}

// A copy of Dialmoor.exe in a fresh folder, running until the test ends.
class RunningClock {
 public:
  RunningClock() {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    folder_ = std::string(temp) + "DialmoorConfigTest" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(folder_.c_str(), nullptr);
    exe = folder_ + "\\Dialmoor.exe";
    if (!CopyFileA(DIALMOOR_EXE, exe.c_str(), FALSE)) return;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    std::string command = "\"" + exe + "\"";
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder_.c_str(), &startup, &process_))
      return;
    processHandle_.reset(process_.hProcess);
    threadHandle_.reset(process_.hThread);
    WaitForInputIdle(process_.hProcess, 20000);
    for (int i = 0; i < 200 && !(window = MainWindow()); ++i) Sleep(50);
    base = ModuleBase();
  }

  ~RunningClock() {
    if (process_.hProcess) {
      if (window) PostMessageA(window, WM_CLOSE, 0, 0);
      if (WaitForSingleObject(process_.hProcess, 20000) != WAIT_OBJECT_0)
        TerminateProcess(process_.hProcess, 1);
    }
    DeleteFileA((folder_ + "\\Dialmoor.INI").c_str());
    DeleteFileA(exe.c_str());
    RemoveDirectoryA(folder_.c_str());
  }

  DWORD ProcessId() const { return process_.dwProcessId; }

  std::string exe;
  HWND window = nullptr;
  std::uintptr_t base = 0;

 private:
  struct WindowSearch {
    DWORD pid;
    HWND found;
  };
  static BOOL CALLBACK MatchWindow(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<WindowSearch*>(context);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid != search->pid || !IsWindowVisible(window)) return TRUE;
    search->found = window;
    return FALSE;
  }
  // The program's visible top-level window.
  HWND MainWindow() const {
    WindowSearch search{process_.dwProcessId, nullptr};
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
  }

  std::uintptr_t ModuleBase() const {
    const UniqueFileHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, process_.dwProcessId));
    if (!snapshot) return 0;
    MODULEENTRY32 entry{};
    entry.dwSize = sizeof entry;
    std::uintptr_t found = 0;
    if (Module32First(snapshot.get(), &entry)) found = reinterpret_cast<std::uintptr_t>(entry.modBaseAddr);
    return found;
  }

  std::string folder_;
  PROCESS_INFORMATION process_{};
  UniqueKernelHandle processHandle_, threadHandle_;
};

TConfigContainer ContainerOfFile(const std::string& path) {
  const std::string image = ReadFile(path);
  const auto bytes = std::span(reinterpret_cast<const std::uint8_t*>(image.data()), image.size());
  const auto block = FindAppendedConfigBlock(bytes);
  if (block.empty()) throw EConfigContainerError("no configuration in " + path);
  return ReadConfigBlock(block);
}

TEST(DialmoorConfig, TheShippedProgramCarriesTheRepositoryOptions) {
  const TConfigContainer container = ContainerOfFile(DIALMOOR_EXE);
  EXPECT_TRUE(container.Options == ParseConfigFile(ReadFile(DIALMOOR_CONFIG_FILE)));
  ASSERT_TRUE(container.DebugInfo.has_value());
  EXPECT_GT(container.DebugInfo->Procedures().size(), 100u);
  EXPECT_NE(container.DebugInfo->FindProcedure("TForm1::Timer1Timer"), nullptr);
}

TEST(DialmoorConfig, RunningProgramPublishesItsOptionsAndItsCodeResolves) {
  RunningClock clock;
  ASSERT_NE(clock.window, nullptr) << "Dialmoor.exe did not show its window";
  ASSERT_NE(clock.base, 0u);

  char name[32];
  std::snprintf(name, sizeof name, "MODULE%08X%08X", static_cast<unsigned>(clock.base),
                static_cast<unsigned>(clock.ProcessId()));
  const auto area = ReadSharedArea(name);
  ASSERT_TRUE(area.has_value()) << name;
  ASSERT_FALSE(area->empty());
  TOskedaModuleOptionsEx published("", false);
  ASSERT_TRUE(LoadOptionsFromSharedArea(*area, published));
  EXPECT_TRUE(published.StoredOptions() == ParseConfigFile(ReadFile(DIALMOOR_CONFIG_FILE)));

  // The running program sits at the image base its symbols were linked for, so an address of
  // its symbol table is an address of its code; the tables carried by the file it runs from
  // name the source of that address independently, from the line information.
  const std::string symbol = ReadFile(DIALMOOR_SYMBOL_FILE);  // "00402690 T TForm1::Timer1Timer(...)"
  ASSERT_GT(symbol.size(), 9u) << "no symbol";
  const auto address = static_cast<std::uintptr_t>(std::stoul(symbol.substr(0, 8), nullptr, 16));
  EXPECT_EQ(clock.base, 0x400000u);
  const TConfigContainer container = ContainerOfFile(clock.exe);
  ASSERT_TRUE(container.DebugInfo.has_value());
  const TDebugLocation where =
      container.DebugInfo->Lookup(static_cast<std::uint32_t>(address - clock.base));
  ASSERT_TRUE(where.Found);
  EXPECT_EQ(where.Unit, "app/Unit1.cpp");
  EXPECT_EQ(where.ClassName, "TForm1");
  EXPECT_EQ(where.Procedure, "Timer1Timer");
  // The optimiser may start the method's first row on its opening line or its first statement.
  const unsigned opening = LineOf(ReadFile(DIALMOOR_UNIT1_SOURCE), "void TForm1::Timer1Timer(");
  ASSERT_NE(opening, 0u);
  EXPECT_GE(where.Line, opening);
  EXPECT_LE(where.Line, opening + 2);
  EXPECT_EQ(where.LineOffset, address - clock.base);
}

}  // namespace
