// Under Wine: this program reports on itself. The test thread stands for the exception thread,
// two more threads wait in known places, and the snapshot and its report text are read the
// way a developer reads them.
#include <gtest/gtest.h>
#include "platform/win/WinApi.h"

#include <algorithm>
#include <fstream>
#include <string>

#include "report/capture/ECollectWin32.h"
#include "report/capture/MemoryReaderWin32.h"
#include "report/options/ECoreOptions.h"
#include "report/options/EModuleConfigWin32.h"
#include "report/text/EReportText.h"
#include "report/text/EReportValues.h"

class TCollectWaiter {
 public:
  // Kept out of line, and its wait a real call, so that the wait's return address lies here.
  __attribute__((noinline, optimize("no-optimize-sibling-calls"))) static DWORD WINAPI
  Park(void* event);
  __attribute__((noinline, optimize("no-optimize-sibling-calls"))) static DWORD WINAPI
  Linger(void* event);
};

DWORD TCollectWaiter::Park(void* event) {
  const DWORD result = WaitForSingleObject(event, INFINITE);  // marker: Park wait
  return result + 1;
}

DWORD TCollectWaiter::Linger(void* event) {
  const DWORD result = WaitForSingleObject(event, INFINITE);  // marker: Linger wait
  return result + 2;
}

namespace {

__attribute__((noinline)) std::uint32_t RaiseAddress() {
  return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(__builtin_return_address(0))) -
         5;
}

unsigned MarkerLine(const char* marker) {
  std::ifstream source(DIALMOOR_COLLECT_SOURCE);
  std::string line;
  for (unsigned number = 1; std::getline(source, line); ++number)
    if (line.find(std::string("// ") + marker) != std::string::npos &&
        line.find("MarkerLine") == std::string::npos)
      return number;
  return 0;
}

bool EndsWith(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() &&
         std::equal(tail.rbegin(), tail.rend(), text.rbegin(), [](char a, char b) {
           return std::tolower(static_cast<unsigned char>(a)) ==
                  std::tolower(static_cast<unsigned char>(b));
         });
}

class CollectWin32 : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { ASSERT_TRUE(StartOskedaModuleConfig()); }

  void SetUp() override {
    release_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    park_ = CreateThread(nullptr, 0, &TCollectWaiter::Park, release_, 0, &parkId_);
    linger_ = CreateThread(nullptr, 0, &TCollectWaiter::Linger, release_, 0, &lingerId_);
    SetThreadPriority(linger_, THREAD_PRIORITY_BELOW_NORMAL);
    // Long enough for both to be inside their waits.
    Sleep(200);
    options_.SetLogFlags(TLogFlags{lfModulesSection, lfCpuSection});
    options_.SetStackFlags(TStackFlags{sfRuntimeThreads, sfSystemThreads, sfStackKind2});
    HANDLE self = nullptr;
    DuplicateHandle(GetCurrentProcess(), GetCurrentThread(), GetCurrentProcess(), &self,
                    THREAD_SUSPEND_RESUME | THREAD_GET_CONTEXT | THREAD_QUERY_INFORMATION, FALSE,
                    0);
    self_ = self;
    request_.Options = &options_;
    request_.ExceptionThreadId = GetCurrentThreadId();
    request_.Exception.ClassName = "EAccessViolation";
    request_.Exception.Message = "Collect test";
    request_.Exception.Address = RaiseAddress();  // marker: raise
    request_.Threads = {{GetCurrentThreadId(), self_, true, true, ""},
                        {parkId_, park_, false, true, "TCollectWaiter"},
                        {lingerId_, linger_, false, false, ""}};
    request_.StartTime = EncodeDateTime(2026, 12, 8, 9, 0, 0, 0);
  }
  void TearDown() override {
    SetEvent(release_);
    WaitForSingleObject(park_, 5000);
    WaitForSingleObject(linger_, 5000);
    for (HANDLE h : {park_, linger_, release_, self_}) CloseHandle(h);
  }

  // The listed frame: a return address seen twice on a stack is hidden as kind 0 once.
  static const TOskedaStackEntry* FrameOf(const TReportSnapshot& s, std::uint32_t thread,
                                          const char* procedure) {
    for (const TOskedaStackEntry& e : s.Stack)
      if (e.ThreadId == thread && e.Kind != mkNoModule &&
          e.ProcedureName.rfind(std::string(procedure) + "(", 0) == 0)
        return &e;
    return nullptr;
  }

  TOskedaModuleOptions options_{"CollectWin32Test.exe", false};
  TCaptureRequest request_;
  HANDLE release_ = nullptr, park_ = nullptr, linger_ = nullptr, self_ = nullptr;
  DWORD parkId_ = 0, lingerId_ = 0;
};

TEST_F(CollectWin32, WaitingThreadsShowTheirFunctionsAndLinesAndRunOn) {
  const TReportSnapshot s = CollectReportSnapshotWin32(request_);

  // The exception thread first, from the raise address.
  ASSERT_FALSE(s.Stack.empty());
  EXPECT_EQ(s.Stack.front().ThreadId, GetCurrentThreadId());
  EXPECT_EQ(s.Stack.front().Address, request_.Exception.Address);
  EXPECT_EQ(s.Stack.front().Kind, mkOwnCode);
  EXPECT_EQ(s.Stack.front().Line, MarkerLine("marker: raise"));

  for (auto [id, procedure, marker] : {std::tuple{parkId_, "Park", "marker: Park wait"},
                                       std::tuple{lingerId_, "Linger", "marker: Linger wait"}}) {
    const TOskedaStackEntry* frame = FrameOf(s, id, procedure);
    ASSERT_NE(frame, nullptr) << procedure;
    EXPECT_EQ(frame->Kind, mkOwnCode);
    EXPECT_EQ(frame->ClassName, "TCollectWaiter");
    EXPECT_EQ(frame->UnitName, "tests/report/capture/CollectWin32Test.cpp");
    EXPECT_EQ(frame->Line, MarkerLine(marker));
    EXPECT_TRUE(frame->Running);
  }
  // The waits themselves are in system libraries, named by their exports.
  EXPECT_TRUE(std::any_of(s.Stack.begin(), s.Stack.end(), [&](const TOskedaStackEntry& e) {
    return e.ThreadId == parkId_ && e.Kind == mkSystemExport && !e.ProcedureName.empty();
  }));

  ASSERT_EQ(s.Threads.size(), 3u);
  EXPECT_EQ(s.Threads[0].Id, GetCurrentThreadId());
  EXPECT_TRUE(s.Threads[0].IsMain);
  EXPECT_EQ(s.Threads[1].ClassName, "TCollectWaiter");
  EXPECT_EQ(s.Threads[1].Priority, THREAD_PRIORITY_NORMAL);
  EXPECT_EQ(s.Threads[2].Priority, THREAD_PRIORITY_BELOW_NORMAL);

  // Both were resumed: a suspension now finds them at count 0.
  for (HANDLE h : {park_, linger_}) {
    EXPECT_EQ(SuspendThread(h), 0u);
    ResumeThread(h);
  }
}

TEST_F(CollectWin32, StackFlagsChooseTheThreads) {
  options_.SetStackFlags(TStackFlags{sfRuntimeThreads});
  TReportSnapshot s = CollectReportSnapshotWin32(request_);
  EXPECT_NE(FrameOf(s, parkId_, "Park"), nullptr);
  EXPECT_EQ(FrameOf(s, lingerId_, "Linger"), nullptr);
  EXPECT_EQ(s.Threads.size(), 3u);

  options_.SetStackFlags(TStackFlags{});
  options_.SetLogFlags(TLogFlags{});
  s = CollectReportSnapshotWin32(request_);
  EXPECT_TRUE(std::all_of(s.Stack.begin(), s.Stack.end(), [](const TOskedaStackEntry& e) {
    return e.ThreadId == GetCurrentThreadId();
  }));
  EXPECT_TRUE(s.Modules.empty());
}

TEST_F(CollectWin32, AnExceptionThreadWithoutAStartIsReadFromItself) {
  request_.ExceptionThreadId = parkId_;
  request_.Exception.Address = 0;
  const TReportSnapshot s = CollectReportSnapshotWin32(request_);
  ASSERT_FALSE(s.Stack.empty());
  EXPECT_EQ(s.Stack.front().ThreadId, parkId_);
  ASSERT_NE(FrameOf(s, parkId_, "Park"), nullptr);
  EXPECT_FALSE(FrameOf(s, parkId_, "Park")->Running);
  EXPECT_EQ(s.Threads.front().Id, parkId_);
  EXPECT_EQ(s.Threads.front().ClassName, "TCollectWaiter");
  // The test thread is now one of the others; it cannot suspend itself and is not walked.
  EXPECT_TRUE(std::none_of(s.Stack.begin(), s.Stack.end(), [](const TOskedaStackEntry& e) {
    return e.ThreadId == GetCurrentThreadId();
  }));
  EXPECT_EQ(SuspendThread(park_), 0u);
  ResumeThread(park_);
}

TEST_F(CollectWin32, AThreadThatCannotBeReadIsListedWithoutFrames) {
  HANDLE weak = nullptr;
  ASSERT_TRUE(DuplicateHandle(GetCurrentProcess(), linger_, GetCurrentProcess(), &weak, SYNCHRONIZE,
                              FALSE, 0));
  request_.Threads[2].Handle = weak;
  const TReportSnapshot s = CollectReportSnapshotWin32(request_);
  CloseHandle(weak);
  EXPECT_EQ(FrameOf(s, lingerId_, "Linger"), nullptr);
  ASSERT_EQ(s.Threads.size(), 3u);
  EXPECT_EQ(s.Threads[2].Priority, ThreadPriorityUnknown);
  EXPECT_NE(FrameOf(s, parkId_, "Park"), nullptr);
  const std::string text = TReportText::Build(s, options_, nullptr).Text();
  EXPECT_EQ(text.find("ID=" + std::to_string(lingerId_)), std::string::npos)
      << "a thread without frames has no group";
}

TEST_F(CollectWin32, ModulesSortedWithVersions) {
  const TReportSnapshot s = CollectReportSnapshotWin32(request_);
  ASSERT_GE(s.Modules.size(), 3u);
  EXPECT_TRUE(std::is_sorted(
      s.Modules.begin(), s.Modules.end(),
      [](const TModuleSnapshot& a, const TModuleSnapshot& b) { return a.Handle < b.Handle; }));
  const auto find = [&](const char* name) {
    return std::find_if(s.Modules.begin(), s.Modules.end(),
                        [&](const TModuleSnapshot& m) { return EndsWith(m.Path, name); });
  };
  const auto exe = find("\\report_capture_collect_test.exe");
  ASSERT_NE(exe, s.Modules.end());
  EXPECT_EQ(exe->Handle, static_cast<std::uint32_t>(
                             reinterpret_cast<std::uintptr_t>(GetModuleHandleA(nullptr))));
  EXPECT_EQ(exe->Version, "3.1.4.15");
  EXPECT_EQ(exe->Description, "Collect test");
  EXPECT_GT(exe->Size, 0u);
  EXPECT_GT(exe->Modified, EncodeDate(2020, 1, 1));
  const auto kernel = find("\\kernel32.dll");
  ASSERT_NE(kernel, s.Modules.end());
  EXPECT_FALSE(kernel->Version.empty());

  EXPECT_EQ(s.Application.ExePath, exe->Path);
  EXPECT_EQ(s.Application.Version, "3.1.4.15");
  EXPECT_EQ(s.Exception.ModulePath, exe->Path);
}

TEST_F(CollectWin32, SystemValuesAreFilledAndPlausible) {
  request_.OmitActiveControls = true;
  const TReportSnapshot s = CollectReportSnapshotWin32(request_);
  const TSystemSnapshot& sys = s.System;
  EXPECT_FALSE(sys.ComputerName.empty());
  EXPECT_FALSE(sys.UserName.empty());
  EXPECT_GT(sys.TotalMemoryBytes, 16u << 20);
  EXPECT_GT(sys.FreeMemoryBytes, 0u);
  EXPECT_LE(sys.FreeMemoryBytes, sys.TotalMemoryBytes);
  ASSERT_TRUE(sys.TotalDiskBytes.has_value());
  EXPECT_LE(*sys.FreeDiskBytes, *sys.TotalDiskBytes);
  EXPECT_GT(sys.UpTimeMs, 0u);
  EXPECT_NE(ProcessorName(sys), "Unknown processor");
  EXPECT_GT(sys.ScreenWidth, 0);
  EXPECT_GT(sys.BitsPerPixel, 0);
  EXPECT_GE(sys.MajorVersion, 5u);
  EXPECT_GT(sys.BuildNumber, 0u);
  EXPECT_FALSE(sys.Locales.empty());
  EXPECT_FALSE(LanguageName(sys.Locales, sys.DefaultLanguageId).empty());
  EXPECT_TRUE(sys.Network.has_value());
  EXPECT_FALSE(s.ActiveControls.Present);
  EXPECT_GT(s.Exception.Date, EncodeDate(2020, 1, 1));
  EXPECT_GE(s.LocalOffsetMinutes, -12 * 60);
  EXPECT_LE(s.LocalOffsetMinutes, 14 * 60);
}

TEST_F(CollectWin32, TheReportReadsAsADeveloperReadsIt) {
  request_.HasFocus = true;
  request_.FocusClass = "Edit";
  request_.FocusText = "secret";
  request_.FocusStyle = 0x20;
  const TReportSnapshot s = CollectReportSnapshotWin32(request_);
  const TProcessMemoryReader memory;
  const std::string text = TReportText::Build(s, options_, &memory).Text();

  EXPECT_NE(text.find("  3.4 Control Text : ******\r\n"), std::string::npos) << text;
  EXPECT_NE(text.find("|Running Thread: ID=" + std::to_string(parkId_) +
                      "; Priority=0; Class=TCollectWaiter"),
            std::string::npos)
      << text;
  const std::size_t linger = text.find("|Linger(void*)@4 ");
  ASSERT_NE(linger, std::string::npos) << text;
  const std::size_t row = text.rfind("\r\n", linger) + 2;
  const std::string frame = text.substr(row, text.find("\r\n", linger) - row);
  EXPECT_NE(frame.find("|report_capture_collect_test.exe|tests/report/capture/"
                       "CollectWin32Test.cpp|TCollectWaiter "),
            std::string::npos)
      << frame;
  EXPECT_NE(frame.find("|" + std::to_string(MarkerLine("marker: Linger wait")) + " "),
            std::string::npos)
      << frame;
  EXPECT_NE(text.find("|report_capture_collect_test.exe|Collect test"), std::string::npos);
  EXPECT_NE(text.find("|kernel32.dll"), std::string::npos);
  EXPECT_NE(text.find("Microsoft Windows"), std::string::npos);
}

}  // namespace
