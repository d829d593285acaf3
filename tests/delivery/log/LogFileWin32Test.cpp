// The log on real Windows files: shared with other handles while open, saved and read back,
// and the fallback folder in the user profile.
#include <gtest/gtest.h>
#include "platform/win/WinApi.h"

#include <string>

#include "delivery/log/ELogFile.h"
#include "delivery/log/ELogSideCopy.h"
#include "platform/win/UniqueHandle.h"

namespace {

std::string TempFolder(const char* name) {
  char buffer[MAX_PATH];
  ::GetTempPathA(MAX_PATH, buffer);
  std::string folder = std::string(buffer) + "dm-log-" + std::to_string(::GetCurrentProcessId()) + "-" + name;
  ::CreateDirectoryA(folder.c_str(), nullptr);
  return folder + "\\";
}

std::string Report(const char* name) {
  return std::string("OskedaLog 5.1.12\r\n\r\nCall Stack Information:\r\n------\r\n|") + name + "|\r\n------";
}

std::string ReadWhole(HANDLE file) {
  ::SetFilePointer(file, 0, nullptr, FILE_BEGIN);
  std::string text(1 << 16, '\0');
  DWORD got = 0;
  ::ReadFile(file, text.data(), static_cast<DWORD>(text.size()), &got, nullptr);
  text.resize(got);
  return text;
}

TEST(LogFileWin32, OpenLogSharesReadingAndWritingWithOtherHandles) {
  const std::string name = TempFolder("share") + "Dialmoor.osk";
  TLogFile log(name, false);
  log.AddReport(Report("one"), 5);
  log.Save();

  // Another process's view: a handle opened for reading and writing while the log is open.
  UniqueFileHandle other(::CreateFileA(name.c_str(), GENERIC_READ | GENERIC_WRITE,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_TRUE(other.valid()) << ::GetLastError();
  EXPECT_EQ(ReadWhole(other.get()), Report("one") + "\r\n\r\n\r\n");

  log.AddReport(Report("two"), 5);
  log.Save();
  EXPECT_EQ(ReadWhole(other.get()), Report("one") + "\r\n\r\n\r\n\r\n" + Report("two") + "\r\n\r\n\r\n");
  EXPECT_FALSE(ReadSideCopy(DefaultLogFileSystem(), name));

  TLogFile reader(name, true);
  ASSERT_EQ(reader.Count(), 2);
  EXPECT_EQ(reader.GetVersion(1), "5.1.12");
  EXPECT_THROW(reader.Save(), EWriteError);
}

TEST(LogFileWin32, UnusableFolderFallsBackToTheProfile) {
  const std::string profile = TempFolder("profile");
  ::SetEnvironmentVariableA("UserProfile", profile.c_str());
  TLogFile log("Q:\\no such folder\\Dialmoor.osk", false);
  char exe[MAX_PATH];
  ::GetModuleFileNameA(nullptr, exe, MAX_PATH);
  std::string program = exe;
  program = program.substr(program.find_last_of('\\') + 1);
  program = program.substr(0, program.rfind('.'));
  EXPECT_EQ(log.FileName(), profile + "OskedaLog\\" + program + "\\Dialmoor.osk");
  log.AddReport(Report("x"), 5);
  log.Save();
  EXPECT_EQ(TLogFile(log.FileName(), true).Count(), 1);
}

}  // namespace
