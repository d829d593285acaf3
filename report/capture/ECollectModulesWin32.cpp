#include "report/capture/ECollectModulesWin32.h"

#include "platform/win/WinApi.h"
#include <tlhelp32.h>

#include <algorithm>

#include "platform/win/ProcAddress.h"
#include "report/capture/ECollectSystemWin32.h"
#include "report/capture/EExportDirectory.h"
#include "report/options/EModuleConfig.h"

namespace {

std::uint32_t Addr(const void* p) {
  return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(p));
}

// SizeOfImage from the loaded headers; 0 when they cannot be read.
std::uint32_t ImageSizeOf(const TMemoryReader& memory, std::uint32_t base) {
  std::uint32_t ntOffset = 0, signature = 0, size = 0;
  if (!memory.ReadU32(base + 0x3C, ntOffset) || ntOffset > 0x10000000) return 0;
  if (!memory.ReadU32(base + ntOffset, signature) || signature != 0x4550) return 0;
  return memory.ReadU32(base + ntOffset + 24 + 56, size) ? size : 0;
}

bool EnumerateWithPsapi(const TMemoryReader& memory, std::vector<TLoadedModule>& result) {
  using TEnumProcessModules = BOOL(WINAPI*)(HANDLE, HMODULE*, DWORD, LPDWORD);
  // Loaded on the first report and kept: a later report does not pay for loading it again.
  static const HMODULE psapi = LoadLibraryA("PSAPI.DLL");
  if (!psapi) return false;
  const auto enumModules = ProcAddress<TEnumProcessModules>(psapi, "EnumProcessModules");
  if (!enumModules) return false;
  std::vector<HMODULE> handles(256);
  DWORD needed = 0;
  for (int attempt = 0; attempt < 4; ++attempt) {
    const DWORD bytes = static_cast<DWORD>(handles.size() * sizeof(HMODULE));
    if (!enumModules(GetCurrentProcess(), handles.data(), bytes, &needed)) return false;
    if (needed <= bytes) break;
    handles.resize(needed / sizeof(HMODULE) + 16);
  }
  handles.resize(std::min<std::size_t>(handles.size(), needed / sizeof(HMODULE)));
  for (HMODULE handle : handles) {
    TLoadedModule module;
    module.Base = Addr(handle);
    module.ImageSize = ImageSizeOf(memory, module.Base);
    module.Path = ModuleFileNameWin32(handle);
    if (module.ImageSize != 0) result.push_back(std::move(module));
  }
  return true;
}

void EnumerateWithToolHelp(std::vector<TLoadedModule>& result) {
  using TSnapshot = HANDLE(WINAPI*)(DWORD, DWORD);
  using TModuleStep = BOOL(WINAPI*)(HANDLE, MODULEENTRY32*);
  const HMODULE kernel = GetModuleHandleA("kernel32.dll");
  const auto snapshot = ProcAddress<TSnapshot>(kernel, "CreateToolhelp32Snapshot");
  const auto first = ProcAddress<TModuleStep>(kernel, "Module32First");
  const auto next = ProcAddress<TModuleStep>(kernel, "Module32Next");
  if (!snapshot || !first || !next) return;
  const HANDLE list = snapshot(TH32CS_SNAPMODULE, 0);
  if (list == INVALID_HANDLE_VALUE) return;
  MODULEENTRY32 entry{};
  entry.dwSize = sizeof entry;
  for (BOOL ok = first(list, &entry); ok; ok = next(list, &entry))
    result.push_back({Addr(entry.modBaseAddr), entry.modBaseSize,
                      std::string(entry.szExePath, strnlen(entry.szExePath, MAX_PATH))});
  CloseHandle(list);
}

TDateTime LocalFileTime(const FILETIME& time) {
  FILETIME local;
  Win32SystemTime parts;
  if (!FileTimeToLocalFileTime(&time, &local) || !FileTimeToSystemTime(&local, &parts)) return 0;
  return EncodeDateTime(parts.wYear, parts.wMonth, parts.wDay, parts.wHour, parts.wMinute,
                        parts.wSecond, 0);
}

}  // namespace

std::vector<TLoadedModule> EnumerateModulesWin32(const TMemoryReader& memory) {
  std::vector<TLoadedModule> result;
  try {
    if (!EnumerateWithPsapi(memory, result) || result.empty()) {
      result.clear();
      EnumerateWithToolHelp(result);
    }
    std::sort(result.begin(), result.end(),
              [](const TLoadedModule& a, const TLoadedModule& b) { return a.Base < b.Base; });
    result.erase(std::unique(result.begin(), result.end(),
                             [](const TLoadedModule& a, const TLoadedModule& b) {
                               return a.Base == b.Base;
                             }),
                 result.end());
  } catch (...) {
    result.clear();
    throw;
  }
  return result;
}

TModuleSnapshot DescribeModuleWin32(const TLoadedModule& module, const TSourceFailure& failed) {
  TModuleSnapshot snapshot;
  snapshot.Handle = module.Base;
  snapshot.Path = module.Path;
  GuardedSource(pcModuleRows, failed, [&] {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (GetFileAttributesExA(module.Path.c_str(), GetFileExInfoStandard, &data)) {
      snapshot.Size = data.nFileSizeLow;
      snapshot.Modified = LocalFileTime(data.ftLastWriteTime);
    }
    ReadFileVersionWin32(module.Path, snapshot.Description, snapshot.Version);
  });
  return snapshot;
}

TProcessSymbolResolverWin32::TProcessSymbolResolverWin32(std::vector<TLoadedModule> modules,
                                                         const TMemoryReader& memory)
    : modules_(std::move(modules)), memory_(memory), added_(modules_.size(), false) {}

TResolvedAddress TProcessSymbolResolverWin32::Resolve(std::uint32_t address) const {
  auto after = std::upper_bound(modules_.begin(), modules_.end(), address,
                                [](std::uint32_t a, const TLoadedModule& m) { return a < m.Base; });
  if (after == modules_.begin()) return {};
  const std::size_t index = static_cast<std::size_t>(after - modules_.begin()) - 1;
  const TLoadedModule& module = modules_[index];
  if (address - module.Base >= module.ImageSize) return {};
  if (!added_[index]) {
    added_[index] = true;
    TModuleSymbols symbols;
    symbols.Base = module.Base;
    symbols.Size = module.ImageSize;
    symbols.Path = module.Path;
    try {
      TModuleConfigRecord* record = OskedaModuleConfigs().FindByBase(module.Base);
      if (record && record->DebugInfo)
        symbols.DebugInfo = &*record->DebugInfo;
      else
        symbols.Exports = ReadExportNames(memory_, module.Base, module.ImageSize);
    } catch (...) {
    }
    symbols_.AddModule(std::move(symbols));
  }
  return symbols_.Resolve(address);
}
