// Dialmoor.exe itself, started from a folder of its own and driven from this process: the
// first run and the file written at close, settings that can break, every menu command as
// the menu sends it, the colour dialogs, the about dialog, the tick, a failed save, restarts.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "app/ClockCommands.h"
#include "tests/app/ClockProcessWin32.h"
#include "platform/win/UniqueHandle.h"

namespace {

const IniLines kFirstRunFile = {
    {"Settings/Top", "20"},      {"Settings/Left", "20"},       {"Settings/OnTop", "0"},
    {"Settings/Heading", "0"},   {"Settings/TitleBar", "1"},    {"Settings/Appearance", "0"},
    {"Colors/Background", "16776960"}, {"Colors/Text", "0"},
};

std::string Value(const IniLines& lines, const std::string& key) {
  for (const auto& [k, v] : lines)
    if (k == key) return v;
  return "<missing>";
}

COLORREF ScreenPixel(HWND window, int x, int y) {
  POINT at{x, y};
  ClientToScreen(window, &at);
  HDC screen = GetDC(nullptr);
  const COLORREF c = GetPixel(screen, at.x, at.y);
  ReleaseDC(nullptr, screen);
  return c;
}

// The names of the libraries an executable imports, lower case, read from its import table.
std::vector<std::string> ImportedLibraries(const std::string& exe) {
  std::vector<std::string> names;
  std::FILE* file = std::fopen(exe.c_str(), "rb");
  if (!file) return names;
  std::vector<char> image(std::filesystem::file_size(exe));
  const bool read = std::fread(image.data(), 1, image.size(), file) == image.size();
  std::fclose(file);
  if (!read || image.size() < sizeof(IMAGE_DOS_HEADER)) return names;
  const auto at = [&image](std::size_t offset, std::size_t size) -> const char* {
    return offset <= image.size() && size <= image.size() - offset ? image.data() + offset : nullptr;
  };
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(image.data());
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS32*>(at(dos->e_lfanew, sizeof(IMAGE_NT_HEADERS32)));
  if (!nt) return names;
  const auto* sections = reinterpret_cast<const IMAGE_SECTION_HEADER*>(
      at(dos->e_lfanew + offsetof(IMAGE_NT_HEADERS32, OptionalHeader) + nt->FileHeader.SizeOfOptionalHeader,
         nt->FileHeader.NumberOfSections * sizeof(IMAGE_SECTION_HEADER)));
  if (!sections) return names;
  const auto fileOffset = [&](DWORD rva) -> std::size_t {
    for (WORD i = 0; i < nt->FileHeader.NumberOfSections; ++i)
      if (rva >= sections[i].VirtualAddress && rva < sections[i].VirtualAddress + sections[i].SizeOfRawData)
        return rva - sections[i].VirtualAddress + sections[i].PointerToRawData;
    return image.size();
  };
  const DWORD imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
  for (std::size_t offset = fileOffset(imports);; offset += sizeof(IMAGE_IMPORT_DESCRIPTOR)) {
    const auto* entry = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(at(offset, sizeof(IMAGE_IMPORT_DESCRIPTOR)));
    if (!entry || entry->Name == 0) break;
    const char* name = at(fileOffset(entry->Name), 1);
    if (!name) break;
    std::string lower(name, strnlen(name, static_cast<std::size_t>(image.data() + image.size() - name)));
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
    names.push_back(lower);
  }
  return names;
}

// A value of the current user's registry, put back as it was when the test ends.
class RegistryValueGuard {
 public:
  RegistryValueGuard(const char* key, const char* name) : key_(key), name_(name) {
    HKEY opened = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, key, 0, KEY_READ, &opened) == ERROR_SUCCESS) {
      const UniqueRegKey k(opened);
      keyExisted_ = true;
      char data[512];
      DWORD size = sizeof data;
      if (RegQueryValueExA(k.get(), name, nullptr, &type_, reinterpret_cast<BYTE*>(data), &size) == ERROR_SUCCESS) {
        had_ = true;
        data_.assign(data, size);
      }
    }
  }
  ~RegistryValueGuard() {
    if (!keyExisted_) {
      RegDeleteKeyA(HKEY_CURRENT_USER, key_);
      return;
    }
    HKEY opened = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, key_, 0, KEY_SET_VALUE, &opened) != ERROR_SUCCESS) return;
    const UniqueRegKey k(opened);
    if (had_)
      RegSetValueExA(k.get(), name_, 0, type_, reinterpret_cast<const BYTE*>(data_.data()), static_cast<DWORD>(data_.size()));
    else
      RegDeleteValueA(k.get(), name_);
  }
  void SetString(const std::string& value) {
    HKEY created = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, key_, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &created, nullptr),
              ERROR_SUCCESS);
    const UniqueRegKey k(created);
    RegSetValueExA(k.get(), name_, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>(value.size() + 1));
  }

 private:
  const char* key_;
  const char* name_;
  bool keyExisted_ = false, had_ = false;
  DWORD type_ = 0;
  std::string data_;
};

}  // namespace

// What Windows shows of the file itself: version information, icon, cursor, picture and the
// manifest (common controls 6, DPI awareness, no elevation).
TEST(ClockProgram, ExecutableResources) {
  const std::string exe = DialmoorExe();
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeA(exe.c_str(), &ignored);
  ASSERT_GT(size, 0u);
  std::string info(size, '\0');
  ASSERT_TRUE(GetFileVersionInfoA(exe.c_str(), 0, size, info.data()));
  char* text = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueA(info.data(), "\\StringFileInfo\\040904B0\\FileDescription",
                             reinterpret_cast<void**>(&text), &length));
  EXPECT_STREQ(text, "Dialmoor");
  ASSERT_TRUE(VerQueryValueA(info.data(), "\\StringFileInfo\\040904B0\\FileVersion",
                             reinterpret_cast<void**>(&text), &length));
  EXPECT_STREQ(text, "1.0.0");

  const UniqueModule library(LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
  ASSERT_TRUE(library);
  const HMODULE module = library.get();
  EXPECT_NE(FindResourceA(module, "MAINICON", MAKEINTRESOURCEA(14)), nullptr);  // RT_GROUP_ICON
  EXPECT_NE(FindResourceA(module, "HAND", MAKEINTRESOURCEA(12)), nullptr);      // RT_GROUP_CURSOR
  EXPECT_NE(FindResourceA(module, "ABOUTPICTURE", MAKEINTRESOURCEA(2)), nullptr);  // RT_BITMAP
  HRSRC manifest = FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
  ASSERT_NE(manifest, nullptr);
  const std::string xml(static_cast<const char*>(LockResource(LoadResource(module, manifest))),
                        SizeofResource(module, manifest));
  for (const char* part : {"Microsoft.Windows.Common-Controls", "version=\"6.0.0.0\"",
                           ">PerMonitorV2, PerMonitor<", ">true/pm<", "level=\"asInvoker\""})
    EXPECT_NE(xml.find(part), std::string::npos) << part;
}

// Every imported library loads, with all it imports in turn, before the clock's window can
// show: the colour dialog's and the shell's are loaded when first used instead. WinSock stays:
// the mail client starts it while the program starts, so that a report never waits for it.
TEST(ClockProgram, ImportsOnlyWhatTheFirstWindowNeeds) {
  const std::vector<std::string> allowed = {"kernel32.dll", "user32.dll", "gdi32.dll",
                                            "advapi32.dll", "comctl32.dll", "version.dll",
                                            "msvcrt.dll", "wsock32.dll"};
  const std::vector<std::string> imported = ImportedLibraries(DialmoorExe());
  EXPECT_GE(imported.size(), 4u);
  for (const std::string& name : imported)
    EXPECT_TRUE(std::find(allowed.begin(), allowed.end(), name) != allowed.end()) << name;
}

TEST(ClockProgram, FirstRunWithoutSettingsAndTheFileItWritesAtClose) {
  ClockProcess p;
  ASSERT_TRUE(p.Start());
  EXPECT_EQ(p.Text(p.Window()), "Dialmoor") << "the caption before the first tick";
  ASSERT_TRUE(p.WaitForTick());
  EXPECT_EQ(p.Bounds().left, 20);
  EXPECT_EQ(p.Bounds().top, 20);
  EXPECT_FALSE(p.ExStyle() & WS_EX_TOPMOST);
  EXPECT_EQ(p.Style() & WS_CAPTION, WS_CAPTION);
  EXPECT_TRUE(p.Style() & WS_SYSMENU);
  EXPECT_TRUE(p.Style() & WS_MINIMIZEBOX);
  EXPECT_FALSE(p.Style() & WS_MAXIMIZEBOX);
  EXPECT_EQ(p.ClientSize().cx, 365);
  EXPECT_EQ(p.ClientSize().cy, 116);
  EXPECT_EQ(ScreenPixel(p.Panel(), 180, 95), RGB(0, 255, 255)) << "aqua panel";
  EXPECT_NE(p.Text(p.LabelAt(20, 12)), "");
  EXPECT_EQ(p.Text(p.LabelAt(20, 52)).size(), 10u) << "mm/dd/yyyy";
  EXPECT_FALSE(std::filesystem::exists(p.SettingsPath())) << "written only at close";
  DWORD code = 1;
  ASSERT_TRUE(p.CloseAndWait(&code));
  EXPECT_EQ(code, 0u);
  EXPECT_EQ(ParseIni(p.SettingsText()), kFirstRunFile) << p.SettingsText();
}

TEST(ClockProgram, SettingsThatCanBreak) {
  {
    ClockProcess p(
        "[Other]\r\nKeep=this\r\n[Settings]\r\nTop=-5\r\nLeft=-40\r\nOnTop=2\r\nHeading=2\r\n"
        "TitleBar=2\r\nAppearance=261\r\nExtra=kept\r\n[Colors]\r\nBackground=0x0000FF\r\nText=$FF00\r\n");
    ASSERT_TRUE(p.Start());
    EXPECT_EQ(p.Bounds().top, -5);
    EXPECT_EQ(p.Bounds().left, -40);
    EXPECT_FALSE(p.ExStyle() & WS_EX_TOPMOST) << "OnTop=2 is not on top";
    EXPECT_EQ(p.Style() & WS_CAPTION, WS_CAPTION) << "TitleBar=2 shows the title bar";
    ASSERT_TRUE(p.CloseAndWait());
    const IniLines file = ParseIni(p.SettingsText());
    EXPECT_EQ(Value(file, "Settings/Top"), "-5");
    EXPECT_EQ(Value(file, "Settings/Left"), "-40");
    EXPECT_EQ(Value(file, "Settings/OnTop"), "0");
    EXPECT_EQ(Value(file, "Settings/Heading"), "0");
    EXPECT_EQ(Value(file, "Settings/TitleBar"), "1");
    EXPECT_EQ(Value(file, "Settings/Appearance"), "5");
    EXPECT_EQ(Value(file, "Colors/Background"), "255") << "hexadecimal red";
    EXPECT_EQ(Value(file, "Colors/Text"), "65280");
    EXPECT_EQ(Value(file, "Other/Keep"), "this");
    EXPECT_EQ(Value(file, "Settings/Extra"), "kept");
  }
  {
    ClockProcess p(
        "[Settings]\r\nTop=$40\r\nLeft=0X3c\r\nOnTop=1\r\nHeading=1\r\nTitleBar=0\r\nAppearance=256\r\n"
        "[Colors]\r\nBackground=-2147483633\r\nText=garbage\r\n");
    ASSERT_TRUE(p.Start());
    EXPECT_EQ(p.Bounds().top, 64);
    EXPECT_EQ(p.Bounds().left, 60);
    EXPECT_TRUE(p.ExStyle() & WS_EX_TOPMOST);
    EXPECT_FALSE(p.Style() & WS_CAPTION);
    EXPECT_TRUE(p.Style() & WS_POPUP);
    EXPECT_EQ(p.ClientSize().cx, 365);
    ASSERT_TRUE(p.CloseAndWait());
    const IniLines file = ParseIni(p.SettingsText());
    EXPECT_EQ(Value(file, "Settings/OnTop"), "1");
    EXPECT_EQ(Value(file, "Settings/Heading"), "1");
    EXPECT_EQ(Value(file, "Settings/TitleBar"), "0");
    EXPECT_EQ(Value(file, "Settings/Appearance"), "0") << "256 keeps its low 8 bits";
    EXPECT_EQ(Value(file, "Colors/Background"), std::to_string(GetSysColor(COLOR_BTNFACE)))
        << "a system colour is stored as the RGB value it has";
    EXPECT_EQ(Value(file, "Colors/Text"), "0") << "unparsable gives the default";
  }
}

TEST(ClockProgram, APositionOffEveryScreenComesBack) {
  RECT work{};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  for (const char* position : {"Left=3000\r\nTop=200", "Left=-2147483648\r\nTop=2147483647",
                               "Left=20\r\nTop=-100000"}) {
    SCOPED_TRACE(position);
    ClockProcess p(std::string("[Settings]\r\n") + position + "\r\n");
    ASSERT_TRUE(p.Start());
    const RECT r = p.Bounds();
    EXPECT_GE(r.left, work.left);
    EXPECT_LE(r.right, work.right);
    EXPECT_GE(r.top, work.top);
    EXPECT_LE(r.bottom, work.bottom);
    ASSERT_TRUE(p.CloseAndWait());
    const IniLines file = ParseIni(p.SettingsText());
    EXPECT_EQ(Value(file, "Settings/Left"), std::to_string(r.left));
    EXPECT_EQ(Value(file, "Settings/Top"), std::to_string(r.top));
  }
}

TEST(ClockProgram, ClosingWhileMinimisedKeepsTheNormalPosition) {
  ClockProcess p;
  ASSERT_TRUE(p.Start());
  SetWindowPos(p.Window(), nullptr, 210, 150, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  ShowWindow(p.Window(), SW_MINIMIZE);
  ASSERT_TRUE(IsIconic(p.Window()));
  ASSERT_TRUE(p.CloseAndWait());
  const IniLines file = ParseIni(p.SettingsText());
  EXPECT_EQ(Value(file, "Settings/Left"), "210");
  EXPECT_EQ(Value(file, "Settings/Top"), "150");
}

TEST(ClockProgram, FileWithOnlyColours) {
  ClockProcess p("[Colors]\r\nBackground=255\r\nText=16777215\r\n");
  ASSERT_TRUE(p.Start());
  EXPECT_EQ(p.Bounds().left, 20);
  ASSERT_TRUE(p.CloseAndWait());
  IniLines expected = kFirstRunFile;
  expected[6].second = "255";
  expected[7].second = "16777215";
  // The existing section stays first; the new one follows it.
  IniLines file = ParseIni(p.SettingsText());
  std::sort(file.begin(), file.end());
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(file, expected) << p.SettingsText();
}

TEST(ClockProgram, MenuCommandsAsTheMenuSendsThem) {
  ClockProcess p;
  ASSERT_TRUE(p.Start());
  p.Command(cmdOnTop);
  EXPECT_TRUE(p.ExStyle() & WS_EX_TOPMOST);
  p.Command(cmdOnTop);
  EXPECT_FALSE(p.ExStyle() & WS_EX_TOPMOST);
  p.Command(cmdOnTop);

  const RECT before = p.Bounds();
  p.Command(cmdTitleBar);
  EXPECT_TRUE(p.Style() & WS_POPUP);
  EXPECT_FALSE(p.Style() & WS_CAPTION);
  EXPECT_EQ(p.Bounds().left, before.left);
  EXPECT_EQ(p.Bounds().top, before.top);
  EXPECT_EQ(p.ClientSize().cx, 365);
  EXPECT_EQ(p.ClientSize().cy, 116);

  for (unsigned style : {cmdPictureFrame, cmdChannel, cmdLowered, cmdRaised}) p.Command(style);
  p.Command(cmdExit);
  DWORD code = 1;
  ASSERT_TRUE(p.WaitForExit(&code));
  EXPECT_EQ(code, 0u);
  const IniLines file = ParseIni(p.SettingsText());
  EXPECT_EQ(Value(file, "Settings/OnTop"), "1");
  EXPECT_EQ(Value(file, "Settings/TitleBar"), "0");
  EXPECT_EQ(Value(file, "Settings/Appearance"), "3");
}

TEST(ClockProgram, ColourDialogs) {
  ClockProcess p;
  ASSERT_TRUE(p.Start());
  // Background, confirmed: preset with the panel's aqua, so aqua it stays.
  p.PostCommand(cmdBackground);
  HWND dialog = p.WaitForWindow("#32770", "");
  ASSERT_NE(dialog, nullptr);
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  // Text, confirmed: the dialog still holds the panel colour it was last given.
  for (int i = 0; i < 200 && IsWindow(dialog); ++i) Sleep(10);
  p.PostCommand(cmdText);
  dialog = p.WaitForWindow("#32770", "");
  ASSERT_NE(dialog, nullptr);
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  for (int i = 0; i < 200 && IsWindow(dialog); ++i) Sleep(10);
  // Background again, cancelled: nothing changes.
  p.PostCommand(cmdBackground);
  dialog = p.WaitForWindow("#32770", "");
  ASSERT_NE(dialog, nullptr);
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  for (int i = 0; i < 200 && IsWindow(dialog); ++i) Sleep(10);
  ASSERT_TRUE(p.CloseAndWait());
  const IniLines file = ParseIni(p.SettingsText());
  EXPECT_EQ(Value(file, "Colors/Background"), "16776960");
  EXPECT_EQ(Value(file, "Colors/Text"), "16776960");
}

TEST(ClockProgram, RightClickOpensTheMenuCentredAndItsChoiceRuns) {
  ClockProcess p;
  ASSERT_TRUE(p.Start());
  POINT at{150, 60};
  ClientToScreen(p.Panel(), &at);
  PostMessageA(p.Panel(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(p.Panel()), MAKELPARAM(at.x, at.y));
  HWND menu = p.WaitForWindow("#32768", "");
  ASSERT_NE(menu, nullptr);
  RECT r;
  GetWindowRect(menu, &r);
  EXPECT_LE(std::abs((r.left + r.right) / 2 - at.x), 1) << "centred on the click point";
  EXPECT_EQ(r.top, at.y);
  // "Always &on Top" by its mnemonic, as a user types it.
  PostMessageA(menu, WM_KEYDOWN, 'O', 0);
  PostMessageA(menu, WM_CHAR, 'o', 0);
  for (int i = 0; i < 300 && !(p.ExStyle() & WS_EX_TOPMOST); ++i) Sleep(10);
  EXPECT_TRUE(p.ExStyle() & WS_EX_TOPMOST);
  ASSERT_TRUE(p.CloseAndWait());
  EXPECT_EQ(Value(ParseIni(p.SettingsText()), "Settings/OnTop"), "1");
}

TEST(ClockProgram, AboutDialogShowsTheRegisteredCompany) {
  RegistryValueGuard company("Software\\Microsoft\\MS Setup (ACME)\\User Info", "DefCompany");
  company.SetString("Moorland Clocks Ltd");
  ClockProcess p;
  ASSERT_TRUE(p.Start());
  ASSERT_TRUE(p.WaitForTick());
  p.PostCommand(cmdAbout);
  HWND about = p.WaitForWindow(kClockWindowClass, kAboutCaption);
  ASSERT_NE(about, nullptr);
  EXPECT_EQ(p.Text(ChildWindowFromPointEx(about, POINT{93, 118}, CWP_ALL)), "Moorland Clocks Ltd");
  EXPECT_EQ(p.Text(ChildWindowFromPointEx(about, POINT{93, 101}, CWP_ALL)), "");
  EXPECT_FALSE(IsWindowEnabled(p.Window())) << "modal";
  // The clock keeps ticking behind the dialog.
  const std::string shown = p.Text(p.LabelAt(20, 12));
  for (int i = 0; i < 300 && p.Text(p.LabelAt(20, 12)) == shown; ++i) Sleep(10);
  EXPECT_NE(p.Text(p.LabelAt(20, 12)), shown);
  HWND ok = ChildWindowFromPointEx(about, POINT{250, 195}, CWP_ALL);
  EXPECT_EQ(p.Text(ok), "OK");
  PostMessageA(ok, BM_CLICK, 0, 0);
  for (int i = 0; i < 300 && IsWindowVisible(about); ++i) Sleep(10);
  EXPECT_FALSE(IsWindowVisible(about));
  EXPECT_TRUE(IsWindow(about)) << "hidden, not destroyed";
  for (int i = 0; i < 300 && !IsWindowEnabled(p.Window()); ++i) Sleep(10);
  EXPECT_TRUE(IsWindowEnabled(p.Window()));
  ASSERT_TRUE(p.CloseAndWait());
}

TEST(ClockProgram, FailedSaveIsReportedAndTheProgramStillEnds) {
  ClockProcess p;
  std::filesystem::create_directory(p.SettingsPath());  // a file of that name cannot be written
  ASSERT_TRUE(p.Start());
  PostMessageA(p.Window(), WM_CLOSE, 0, 0);
  // The reporting subsystem takes the exception from the dispatch point and shows its error
  // dialog under the configured caption; its General tab names the file that was not written.
  HWND dialog = p.WaitForWindow("#32770", "Dialmoor - Error.");
  ASSERT_NE(dialog, nullptr);
  ASSERT_NE(GetDlgItem(dialog, 1000), nullptr) << "the error dialog, not a message box";
  PostMessageA(GetDlgItem(dialog, 4), BM_CLICK, 0, 0);
  const std::string expected = "Unable to write to " + p.SettingsPath();
  std::string general;
  for (int i = 0; i < 500 && general.find(expected) == std::string::npos; ++i) {
    Sleep(10);
    HWND page = FindWindowExA(dialog, nullptr, "#32770", nullptr);
    std::vector<char> text(65536, '\0');
    if (page)
      SendMessageTimeoutA(GetDlgItem(page, 103), WM_GETTEXT, text.size(),
                          reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG, 5000, nullptr);
    general = text.data();
  }
  EXPECT_NE(general.find(expected), std::string::npos) << general;
  PostMessageA(GetDlgItem(dialog, 2), BM_CLICK, 0, 0);
  DWORD code = 1;
  ASSERT_TRUE(p.WaitForExit(&code));
  EXPECT_EQ(code, 0u);
}

TEST(ClockProgram, SettingsSurviveARestart) {
  ClockProcess p;
  ASSERT_TRUE(p.Start());
  p.Command(cmdOnTop);
  p.Command(cmdTitleBar);
  p.Command(cmdChannel);
  SetWindowPos(p.Window(), nullptr, 210, 150, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  ASSERT_TRUE(p.CloseAndWait());
  const std::string first = p.SettingsText();

  ASSERT_TRUE(p.Start());
  EXPECT_EQ(p.Bounds().left, 210);
  EXPECT_EQ(p.Bounds().top, 150);
  EXPECT_TRUE(p.ExStyle() & WS_EX_TOPMOST);
  EXPECT_TRUE(p.Style() & WS_POPUP);
  ASSERT_TRUE(p.CloseAndWait());
  EXPECT_EQ(p.SettingsText(), first);
  EXPECT_EQ(Value(ParseIni(first), "Settings/Appearance"), "2");
}

// Labels and caption against this process's own clock and zone, under the TZ the test was
// registered with; the date and time separators are the user's locale settings.
TEST(ClockProgram, TickShowsTheMachinesTimesAndZone) {
  const char* zoneKey = std::getenv("DM_EXPECT_ZONE");
  if (!zoneKey) GTEST_SKIP() << "runs under a TZ set by the test registration";
  const char* separators = std::getenv("DM_SEPARATORS");  // date and time separator, e.g. "-."
  const char date = separators ? separators[0] : '/';
  const char time = separators ? separators[1] : ':';
  RegistryValueGuard sDate("Control Panel\\International", "sDate");
  RegistryValueGuard sTime("Control Panel\\International", "sTime");
  RegistryValueGuard sShortDate("Control Panel\\International", "sShortDate");
  RegistryValueGuard sTimeFormat("Control Panel\\International", "sTimeFormat");
  if (separators) {
    sDate.SetString(std::string(1, date));
    sTime.SetString(std::string(1, time));
    sShortDate.SetString(std::string("M") + date + "d" + date + "yyyy");
    sTimeFormat.SetString(std::string("h") + time + "mm" + time + "ss tt");
  }
  ClockProcess p;
  ASSERT_TRUE(p.Start());
  ASSERT_TRUE(p.WaitForTick());
  auto text = [](const SYSTEMTIME& t, char d, char s) {
    char b[64];
    std::snprintf(b, sizeof b, "%02d%c%02d%c%02d|%02d%c%02d%c%04d", t.wHour, s, t.wMinute, s, t.wSecond,
                  t.wMonth, d, t.wDay, d, t.wYear);
    return std::string(b);
  };
  // Read between two readings of our own clock; retried when a second turned in between.
  std::string local, utc, expectedLocal, expectedUtc;
  for (int attempt = 0; attempt < 20; ++attempt) {
    SYSTEMTIME l0, u0;
    GetLocalTime(AsWin32(&l0));
    GetSystemTime(AsWin32(&u0));
    local = p.Text(p.LabelAt(20, 12)) + "|" + p.Text(p.LabelAt(20, 52));
    utc = p.Text(p.LabelAt(188, 12)) + "|" + p.Text(p.LabelAt(188, 52));
    expectedLocal = text(l0, date, time);
    expectedUtc = text(u0, date, time);
    if (local == expectedLocal && utc == expectedUtc) break;
    Sleep(137);
  }
  EXPECT_EQ(local, expectedLocal);
  EXPECT_EQ(utc, expectedUtc);

  char display[256] = {};
  DWORD size = sizeof display;
  const std::string key = std::string("SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Time Zones\\") + zoneKey;
  ASSERT_EQ(RegGetValueA(HKEY_LOCAL_MACHINE, key.c_str(), "Display", RRF_RT_REG_SZ, nullptr, display, &size),
            ERROR_SUCCESS);
  EXPECT_EQ(p.Text(p.Window()), std::string("Dialmoor -  ") + display + " ");
  ASSERT_TRUE(p.CloseAndWait());
}
