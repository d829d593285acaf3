#include <gtest/gtest.h>
#include "platform/win/WinApi.h"

#include <algorithm>

#include "report/capture/EInterceptWin32.h"
#include "report/capture/EThreadsListWin32.h"

namespace {

DWORD WINAPI WaitOn(void* event) {
  WaitForSingleObject(static_cast<HANDLE>(event), INFINITE);
  OskedaLog_CallExitThread();
  return 0;
}

bool Lists(std::vector<TCaptureThread> threads, DWORD id) {
  return std::any_of(threads.begin(), threads.end(),
                     [id](const TCaptureThread& t) { return t.Id == id; });
}

}  // namespace

TEST(ThreadsListWin32, ThreadsComeWithAHandleForTheReportAndLeaveWhenTheyEnd) {
  TOskedaThreadsList& list = OskedaThreadsList();
  list.AddMainThread();
  HANDLE release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  DWORD id = 0;
  HANDLE thread = CreateThread(nullptr, 0, &WaitOn, release, 0, &id);
  TOskedaThreadEntry entry{};
  entry.ThreadId = id;
  entry.Handle = thread;
  OskedaLog_CallCreateThread(&entry);
  CloseHandle(thread);  // the list keeps a duplicate of its own

  std::vector<TCaptureThread> threads = list.CaptureThreads();
  ASSERT_TRUE(Lists(threads, id));
  const auto worker = std::find_if(threads.begin(), threads.end(),
                                   [id](const TCaptureThread& t) { return t.Id == id; });
  EXPECT_FALSE(worker->IsMain);
  EXPECT_FALSE(worker->IsRuntime);  // no runtime thread object
  // The duplicate allows what the report does with it: suspend, read the context, resume.
  ASSERT_NE(SuspendThread(worker->Handle), static_cast<DWORD>(-1));
  CONTEXT context{};
  context.ContextFlags = CONTEXT_CONTROL;
  EXPECT_TRUE(GetThreadContext(worker->Handle, &context));
  EXPECT_NE(context.Esp, 0u);
  ResumeThread(worker->Handle);
  const auto main = std::find_if(threads.begin(), threads.end(),
                                 [](const TCaptureThread& t) { return t.IsMain; });
  ASSERT_NE(main, threads.end());
  EXPECT_EQ(main->Id, GetCurrentThreadId());
  EXPECT_TRUE(main->IsRuntime);

  // A snapshot holds handles of its own: it outlives the thread's leaving the list.
  TOskedaThreadsList snapshot(list);
  SetEvent(release);
  for (int i = 0; i < 200 && Lists(list.CaptureThreads(), id); ++i) Sleep(10);
  EXPECT_FALSE(Lists(list.CaptureThreads(), id));
  TOskedaThreadEntry* kept = snapshot.FindById(id);
  ASSERT_NE(kept, nullptr);
  DWORD code = STILL_ACTIVE;
  for (int i = 0; i < 200 && code == STILL_ACTIVE; ++i) {
    GetExitCodeThread(kept->Handle, &code);
    Sleep(10);
  }
  EXPECT_EQ(code, 0u);
  // An ended thread leaves a snapshot too, once the collector asks for the live ones.
  EXPECT_FALSE(Lists(snapshot.CaptureThreads(), id));
  CloseHandle(release);
}
