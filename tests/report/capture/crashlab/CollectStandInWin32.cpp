// TEMPORARY STAND-IN, test programs only: the real CollectReportSnapshotWin32 is written
// beside this work and replaces this file when it is merged. It fills what the crash lab's
// checks read: the exception, the threads and their stacks (the program's own code named by
// its debug tables) and the program and kernel32 as modules. System values stay empty.
#include <windows.h>

#include "report/capture/ECollectWin32.h"
#include "report/capture/EModuleSymbolResolver.h"
#include "report/capture/EStackScan.h"
#include "report/capture/MemoryReaderWin32.h"
#include "report/options/ECoreOptions.h"
#include "report/options/EModuleConfig.h"
#include "report/text/EFileVersion.h"

namespace {

std::uint32_t Addr(const void* p) {
  return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(p));
}

std::string ModulePath(HMODULE module) {
  char path[MAX_PATH] = {};
  return std::string(path, GetModuleFileNameA(module, path, MAX_PATH));
}

std::uint32_t ImageSize(HMODULE module) {
  const auto* base = reinterpret_cast<const std::uint8_t*>(module);
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  return reinterpret_cast<const IMAGE_NT_HEADERS32*>(base + dos->e_lfanew)
      ->OptionalHeader.SizeOfImage;
}

std::string VersionOf(const std::string& path) {
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
  if (!size) return {};
  std::vector<char> data(size);
  VS_FIXEDFILEINFO* info = nullptr;
  UINT length = 0;
  if (!GetFileVersionInfoA(path.c_str(), 0, size, data.data()) ||
      !VerQueryValueA(data.data(), "\\", reinterpret_cast<void**>(&info), &length) || !info)
    return {};
  return FileVersionText(info->dwFileVersionMS, info->dwFileVersionLS);
}

std::uint32_t StackTopOf(std::uint32_t esp) {
  MEMORY_BASIC_INFORMATION mbi{};
  if (!VirtualQuery(reinterpret_cast<void*>(esp), &mbi, sizeof mbi)) return esp;
  return Addr(mbi.BaseAddress) + static_cast<std::uint32_t>(mbi.RegionSize);
}

}  // namespace

TReportSnapshot CollectReportSnapshotWin32(const TCaptureRequest& request) {
  TReportSnapshot s;
  SYSTEMTIME now;
  GetLocalTime(&now);
  s.Application.ExePath = ModulePath(nullptr);
  s.Application.StartTime = request.StartTime;
  s.Application.BuildTime = request.BuildTime;
  s.Exception = request.Exception;
  if (!s.Exception.Date) s.Exception.Date = SystemTimeToDateTime(now);
  s.Exception.ModuleLongPath = s.Exception.ModulePath;
  s.ActiveControls.Present = !request.OmitActiveControls;

  TModuleSymbolResolver resolver;
  const HMODULE exe = GetModuleHandleA(nullptr);
  const HMODULE kernel = GetModuleHandleA("kernel32.dll");
  TModuleConfigRecord* record =
      OskedaModuleConfigs().FindByBase(reinterpret_cast<std::uintptr_t>(exe));
  for (HMODULE module : {exe, kernel}) {
    TModuleSymbols symbols;
    symbols.Base = Addr(module);
    symbols.Size = ImageSize(module);
    symbols.Path = ModulePath(module);
    if (module == exe && record && record->DebugInfo) symbols.DebugInfo = &*record->DebugInfo;
    resolver.AddModule(symbols);
    s.Modules.push_back({Addr(module), symbols.Path, "", VersionOf(symbols.Path), symbols.Size, 0});
  }

  TProcessMemoryReader memory;
  const std::uint32_t mask =
      request.Options ? StackKindMask(request.Options->StackFlags()) : AllKindsMask;
  std::vector<TCaptureThread> ordered;
  for (const TCaptureThread& t : request.Threads)
    if (t.Id == request.ExceptionThreadId)
      ordered.insert(ordered.begin(), t);
    else
      ordered.push_back(t);
  for (const TCaptureThread& t : ordered) {
    s.Threads.push_back({t.Id, ThreadPriorityUnknown, t.ClassName, t.IsMain});
    TStackWalkParams params;
    params.ThreadId = t.Id;
    params.KindMask = mask;
    if (t.Id == request.ExceptionThreadId) {
      params.Running = true;
      params.LeadingAddress = request.Exception.Address;
      params.Start = request.StackStart;
      params.StackTop = request.StackTop ? request.StackTop : StackTopOf(request.StackStart);
      if (params.Start) WalkStack(memory, resolver, params, s.Stack);
      continue;
    }
    if (!t.Handle || SuspendThread(t.Handle) == static_cast<DWORD>(-1)) continue;
    CONTEXT context{};
    context.ContextFlags = CONTEXT_FULL;
    if (GetThreadContext(t.Handle, &context)) {
      params.Start = context.Esp;
      params.StackTop = StackTopOf(context.Esp);
      params.LeadingAddress = context.Eip;
      WalkStack(memory, resolver, params, s.Stack);
    }
    ResumeThread(t.Handle);
  }
  CleanUpStack(s.Stack, false);
  return s;
}
