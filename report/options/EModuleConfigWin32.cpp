#include "report/options/EModuleConfigWin32.h"
#include "platform/win/ModuleOfAddress.h"

#include <cstring>

#include "report/options/ECurrentOptions.h"
#include "report/options/EOptionsEnvironmentWin32.h"
#include "report/options/EPasswordRequest.h"
#include "report/options/ESharedAreaWin32.h"
#include "platform/win/UniqueHandle.h"

namespace {

// A block larger than this is not one the build wrote.
constexpr std::uint32_t kMaxAppendedBlock = 256u << 20;

HMODULE OwnModule() { return ModuleOfAddress(reinterpret_cast<const void*>(&OwnModule)); }

std::uint32_t ImageSize(HMODULE module) {
  const auto* base = reinterpret_cast<const std::uint8_t*>(module);
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  if (dos->e_magic != IMAGE_DOS_SIGNATURE) return 0;
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  if (nt->Signature != IMAGE_NT_SIGNATURE) return 0;
  return nt->OptionalHeader.SizeOfImage;
}

std::span<const std::uint8_t> ResourceBytes(HMODULE module) {
  HRSRC resource = FindResourceA(module, "OZDATA", MAKEINTRESOURCEA(10));
  if (!resource) return {};
  // A module's resources stay mapped with the module; there is nothing to release.
  HGLOBAL loaded = LoadResource(module, resource);
  const void* bytes = loaded ? LockResource(loaded) : nullptr;
  if (!bytes) return {};
  return {static_cast<const std::uint8_t*>(bytes), SizeofResource(module, resource)};
}

bool ReadAt(HANDLE file, std::uint64_t offset, void* buffer, std::uint32_t count) {
  LARGE_INTEGER position;
  position.QuadPart = static_cast<LONGLONG>(offset);
  if (!SetFilePointerEx(file, position, nullptr, FILE_BEGIN)) return false;
  auto* out = static_cast<std::uint8_t*>(buffer);
  while (count > 0) {
    DWORD read = 0;
    if (!ReadFile(file, out, count, &read, nullptr) || read == 0) return false;
    out += read;
    count -= read;
  }
  return true;
}

std::optional<std::vector<std::uint8_t>> AppendedBlock(HMODULE module) {
  UniqueFileHandle file(CreateFileA(ModuleFileNameOf(module).c_str(), GENERIC_READ,
                               FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return std::nullopt;
  LARGE_INTEGER size;
  if (!GetFileSizeEx(file.get(), &size) || size.QuadPart < 8) return std::nullopt;
  const auto fileSize = static_cast<std::uint64_t>(size.QuadPart);
  std::uint8_t trailer[8];
  if (!ReadAt(file.get(), fileSize - 8, trailer, 8)) return std::nullopt;
  const auto length = AppendedBlockLength(trailer, fileSize);
  if (!length || *length > kMaxAppendedBlock) return std::nullopt;
  std::vector<std::uint8_t> block(*length);
  if (!ReadAt(file.get(), fileSize - 8 - *length, block.data(), *length)) return std::nullopt;
  return block;
}

std::unique_ptr<TModuleConfigRecord> RecordFromSharedArea(HMODULE module) {
  const auto area = ReadSharedArea(SharedAreaName("MODULE", module, GetCurrentProcessId()));
  if (!area) return nullptr;
  auto record = std::make_unique<TModuleConfigRecord>();
  record->Base = reinterpret_cast<std::uintptr_t>(module);
  record->ImageSize = ImageSize(module);
  record->FileName = ModuleFileNameOf(module);
  record->Options = std::make_unique<TOskedaModuleOptionsEx>(record->FileName, false);
  if (!LoadOptionsFromSharedArea(*area, *record->Options)) return nullptr;
  return record;
}

// Keeps the environment installed for as long as the process's options may use it.
struct InstalledEnvironment {
  TWin32OptionsEnvironment environment;
  explicit InstalledEnvironment(HMODULE module) : environment(module) {
    SetOskedaOptionsEnvironment(&environment);
  }
  ~InstalledEnvironment() {
    SetCurrentOskedaLogOptions(nullptr);
    SetOskedaOptionsEnvironment(nullptr);
  }
};

bool Start() {
  const HMODULE module = OwnModule();
  auto container = ReadModuleConfigContainer(module);
  if (!container) return false;
  // The record list is made first so that it outlives the environment at exit.
  OskedaModuleConfigs();
  static InstalledEnvironment installed(module);
  auto record = MakeModuleConfigRecord(reinterpret_cast<std::uintptr_t>(module), ImageSize(module),
                                       ModuleFileNameOf(module), std::move(*container));
  TModuleConfigRecord& registered = OskedaModuleConfigs().Add(std::move(record));
  SetCurrentOskedaLogOptions(registered.Options.get());
  registered.Options->SetPublishChanges(true);
  return true;
}

}  // namespace

std::optional<TConfigContainer> ReadModuleConfigContainer(HMODULE module,
                                                          const TConfigReadSettings& settings) {
  TConfigReadSettings withKey = settings;
  if (!withKey.RequestKey) withKey.RequestKey = [module] { return RequestModulePassword(module); };
  try {
    const auto resource = ResourceBytes(module);
    if (!resource.empty()) return ReadConfigResource(resource, withKey);
    const auto block = AppendedBlock(module);
    if (block) return ReadConfigBlock(*block, withKey);
  } catch (const std::exception&) {
    // A container that cannot be read leaves the module without options.
  }
  return std::nullopt;
}

std::unique_ptr<TModuleConfigRecord> LoadModuleConfig(HMODULE module) {
  try {
    if (auto container = ReadModuleConfigContainer(module))
      return MakeModuleConfigRecord(reinterpret_cast<std::uintptr_t>(module), ImageSize(module),
                                    ModuleFileNameOf(module), std::move(*container));
    return RecordFromSharedArea(module);
  } catch (const std::exception&) {
    return nullptr;
  }
}

bool StartOskedaModuleConfig() {
  // The subsystem's own failures never reach the program: an unusable configuration leaves it
  // inactive.
  static const bool started = [] {
    try {
      return Start();
    } catch (const std::exception&) {
      return false;
    }
  }();
  return started;
}

bool RegisterOskedaModule(HMODULE module) {
  auto record = LoadModuleConfig(module);
  if (!record) return false;
  OskedaModuleConfigs().Add(std::move(record));
  return true;
}

TAddressInfo LookupAddress(const void* address) {
  TAddressInfo info = OskedaModuleConfigs().Lookup(reinterpret_cast<std::uintptr_t>(address));
  if (info.Module.empty()) {
    if (HMODULE module = ModuleOfAddress(address)) info.Module = ModuleFileNameOf(module);
  }
  return info;
}

std::string RequestModulePassword(HMODULE module) {
  const auto lookup = [module](const char* name) {
    return reinterpret_cast<void*>(GetProcAddress(module, name));
  };
  return AskPasswordExports(
      reinterpret_cast<TPasswordRequestExExport*>(lookup(PasswordRequestExExportName)),
      reinterpret_cast<TPasswordRequestExport*>(lookup(PasswordRequestExportName)));
}
