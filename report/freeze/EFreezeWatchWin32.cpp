#include "report/freeze/EFreezeWatchWin32.h"

#include <cstdlib>
#include <memory>
#include <mutex>
#include <vector>

#include "report/capture/EDispatchRules.h"
#include "report/capture/EExceptionManagerWin32.h"
#include "report/capture/EInterceptWin32.h"
#include "report/capture/EThreadsListWin32.h"
#include "report/freeze/EFreezeThreadWin32.h"
#include "report/options/ECoreOptions.h"
#include "report/options/ECurrentOptions.h"
#include "report/options/EOptionsEnvironmentWin32.h"

namespace {

std::mutex watchLock;
std::unique_ptr<TFreezeThread> running;
// Watchers asked to end whose thread has not been waited for yet.
std::vector<std::unique_ptr<TFreezeThread>> ending;

bool ThisModuleIsDll() {
  const auto* base = reinterpret_cast<const std::uint8_t*>(ThisModule());
  if (!base) return false;
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS32*>(base + dos->e_lfanew);
  return (nt->FileHeader.Characteristics & IMAGE_FILE_DLL) != 0;
}

bool IsDevelopmentEnvironment() {
  char exe[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, exe, MAX_PATH);
  return IsDevelopmentEnvironmentExe(exe);
}

// The main thread's handle from the thread list, as a copy of the watcher's own.
UniqueKernelHandle MainThreadHandle(DWORD& id) {
  TOskedaThreadsList& list = OskedaThreadsList();
  list.Lock();
  id = list.MainThreadId();
  const TOskedaThreadEntry* entry = list.FindById(id);
  HANDLE copy = nullptr;
  if (entry && entry->Handle)
    DuplicateHandle(GetCurrentProcess(), entry->Handle, GetCurrentProcess(), &copy, 0, FALSE,
                    DUPLICATE_SAME_ACCESS);
  list.Unlock();
  return UniqueKernelHandle(copy);
}

void StopAtExit() { StopFreezeWatch(); }

}  // namespace

void StartFreezeWatch() {
  if (!OskedaLogActive() || IsDevelopmentEnvironment()) return;
  const TOskedaModuleOptions* options = FindCurrentOskedaLogOptions();
  if (!options || !options->Enabled() || !options->FreezeWatch()) return;
  if (!ThisModuleIsProgram() && options->BehaviourFlags().Contains(bfUseMainModuleOptions)) return;
  std::lock_guard guard(watchLock);
  if (running) return;
  DWORD mainId = 0;
  UniqueKernelHandle main = MainThreadHandle(mainId);
  if (!main) return;
  auto watcher = std::make_unique<TFreezeThread>(std::move(main), mainId);
  if (watcher->Start()) running = std::move(watcher);
}

void StopFreezeWatch() {
  std::vector<std::unique_ptr<TFreezeThread>> waitFor;
  {
    std::lock_guard guard(watchLock);
    if (running) {
      running->Terminate();
      ending.push_back(std::move(running));
    }
    // A watcher cannot wait for itself; it is waited for by the next call from elsewhere.
    for (auto it = ending.begin(); it != ending.end();) {
      if ((*it)->ThreadId() == GetCurrentThreadId()) {
        ++it;
      } else {
        waitFor.push_back(std::move(*it));
        it = ending.erase(it);
      }
    }
  }
  const bool dll = ThisModuleIsDll();
  for (const auto& watcher : waitFor) {
    if (dll)
      watcher->Kill();
    else
      watcher->WaitFor();
  }
}

bool InstallFreezeWatch() {
  static const bool installed = [] {
    if (!OskedaLogActive()) return false;
    SetFreezeWatchCalls(&StartFreezeWatch, &StopFreezeWatch);
    std::atexit(&StopAtExit);
    StartFreezeWatch();
    return true;
  }();
  return installed;
}

DWORD FreezeWatchThreadId() {
  std::lock_guard guard(watchLock);
  return running ? running->ThreadId() : 0;
}

HANDLE FreezeWatchThreadHandle() {
  std::lock_guard guard(watchLock);
  return running ? running->Handle() : nullptr;
}
