#include "report/capture/ECollectSystemWin32.h"
#include "platform/win/ModuleOfAddress.h"
#include "platform/win/ProcAddress.h"

#include "platform/win/WinApi.h"
#include <iphlpapi.h>

#include <cstdlib>
#include <cstring>
#include <mutex>
#include <optional>
#include <vector>

#include "report/text/EFileVersion.h"
#include "report/text/EProcessValues.h"

namespace {


std::string NarrowText(const wchar_t* text, int length) {
  if (length <= 0) return {};
  const int size = WideCharToMultiByte(CP_ACP, 0, text, length, nullptr, 0, nullptr, nullptr);
  if (size <= 0) return {};
  std::string result(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_ACP, 0, text, length, result.data(), size, nullptr, nullptr);
  return result;
}

std::string WindowClass(HWND window) {
  char name[256];
  const int length = GetClassNameA(window, name, sizeof name);
  return length > 0 ? std::string(name, static_cast<std::size_t>(length)) : std::string();
}

// The caption as the window manager keeps it. Asking the window itself (WM_GETTEXT) would wait
// for its thread, which may be the faulting thread waiting for this report.
std::string WindowCaption(HWND window) {
  using TInternalGetWindowText = int(WINAPI*)(HWND, LPWSTR, int);
  static const auto internalText =
      ProcAddress<TInternalGetWindowText>(GetModuleHandleA("user32.dll"), "InternalGetWindowText");
  if (!internalText) return {};
  wchar_t text[257];
  return NarrowText(text, internalText(window, text, 257));
}

std::optional<std::string> RegistryValue(HKEY key, const char* name) {
  DWORD type = 0, size = 0;
  if (RegQueryValueExA(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
      type != REG_SZ || size == 0)
    return std::nullopt;
  std::string value(size, '\0');
  if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(value.data()), &size) !=
      ERROR_SUCCESS)
    return std::nullopt;
  value.resize(size);
  return value;
}

void ReadProcessor(TSystemSnapshot& system) {
  HKEY key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0", 0,
                    KEY_READ, &key) != ERROR_SUCCESS)
    return;
  system.ProcessorNameString = RegistryValue(key, "ProcessorNameString");
  system.VendorIdentifier = RegistryValue(key, "VendorIdentifier");
  system.Identifier = RegistryValue(key, "Identifier");
  RegCloseKey(key);
}

// The locale enumeration's callback takes no context: the list it fills and the default
// language are handed over here, one enumeration at a time.
std::mutex g_localesLock;
std::vector<TLocaleSnapshot>* g_locales = nullptr;
LANGID g_defaultLanguage = 0;

std::string LocaleInfo(LCID locale, LCTYPE type) {
  wchar_t text[256];
  const int length = GetLocaleInfoW(locale, type, text, 256);
  return length > 1 ? NarrowText(text, length - 1) : std::string();
}

// Every installed locale is listed; only those of the default language can name it, and
// only theirs are asked for names (two queries each for a few hundred locales would cost
// more than the rest of the report).
BOOL CALLBACK AddLocale(LPWSTR identifier) {
  try {
    TLocaleSnapshot locale;
    locale.Identifier = NarrowText(identifier, static_cast<int>(wcslen(identifier)));
    const LCID id = std::wcstoul(identifier, nullptr, 16);
    if (LANGIDFROMLCID(id) == g_defaultLanguage) {
      locale.LanguageName = LocaleInfo(id, LOCALE_SABBREVLANGNAME);
      if (!locale.LanguageName.empty()) locale.FullName = LocaleInfo(id, LOCALE_SENGLANGUAGE);
    }
    g_locales->push_back(std::move(locale));
  } catch (...) {
    return FALSE;
  }
  return TRUE;
}

void ReadLocales(TSystemSnapshot& system) {
  system.DefaultLanguageId = GetSystemDefaultLangID();
  const std::lock_guard<std::mutex> lock(g_localesLock);
  g_locales = &system.Locales;
  g_defaultLanguage = system.DefaultLanguageId;
  EnumSystemLocalesW(AddLocale, LCID_INSTALLED);
  g_locales = nullptr;
}

std::vector<std::string> AddressList(const IP_ADDR_STRING* address) {
  std::vector<std::string> result;
  for (int guard = 0; address && guard < 64; address = address->Next, ++guard)
    result.emplace_back(address->IpAddress.String, strnlen(address->IpAddress.String, 16));
  return result;
}

// The IP configuration library is loaded here only: systems without it report no network.
void ReadNetwork(TSystemSnapshot& system) {
  using TGetAdaptersInfo = DWORD(WINAPI*)(PIP_ADAPTER_INFO, PULONG);
  using TGetPerAdapterInfo = DWORD(WINAPI*)(ULONG, PIP_PER_ADAPTER_INFO, PULONG);
  // Loaded on the first report and kept: a later report does not pay for loading it again.
  static const HMODULE library = LoadLibraryA("iphlpapi.dll");
  if (!library) return;
  const auto adaptersInfo = ProcAddress<TGetAdaptersInfo>(library, "GetAdaptersInfo");
  const auto perAdapterInfo = ProcAddress<TGetPerAdapterInfo>(library, "GetPerAdapterInfo");
  if (!adaptersInfo) return;
  ULONG size = 0;
  DWORD status = adaptersInfo(nullptr, &size);
  std::vector<std::uint8_t> buffer;
  for (int attempt = 0; status == ERROR_BUFFER_OVERFLOW && attempt < 3; ++attempt) {
    buffer.assign(size, 0);
    status = adaptersInfo(reinterpret_cast<PIP_ADAPTER_INFO>(buffer.data()), &size);
  }
  std::vector<TNetworkAdapterSnapshot> adapters;
  if (status == ERROR_SUCCESS && !buffer.empty()) {
    for (auto* info = reinterpret_cast<const IP_ADAPTER_INFO*>(buffer.data()); info;
         info = info->Next) {
      TNetworkAdapterSnapshot adapter;
      const std::vector<std::string> ips = AddressList(&info->IpAddressList);
      if (!ips.empty()) adapter.IpAddress = ips.front();
      adapter.Mask.assign(info->IpAddressList.IpMask.String,
                          strnlen(info->IpAddressList.IpMask.String, 16));
      const std::vector<std::string> gateways = AddressList(&info->GatewayList);
      if (!gateways.empty()) adapter.Gateway = gateways.front();
      adapter.Dhcp = info->DhcpEnabled != 0;
      ULONG perSize = 0;
      if (perAdapterInfo &&
          perAdapterInfo(info->Index, nullptr, &perSize) == ERROR_BUFFER_OVERFLOW && perSize) {
        std::vector<std::uint8_t> per(perSize, 0);
        if (perAdapterInfo(info->Index, reinterpret_cast<PIP_PER_ADAPTER_INFO>(per.data()),
                           &perSize) == ERROR_SUCCESS)
          adapter.DnsServers =
              AddressList(&reinterpret_cast<const IP_PER_ADAPTER_INFO*>(per.data())->DnsServerList);
      }
      adapters.push_back(std::move(adapter));
    }
  }
  system.Network = std::move(adapters);
}

void ReadDisk(TSystemSnapshot& system, const std::string& modulePath) {
  using TGetDiskFreeSpaceEx =
      BOOL(WINAPI*)(LPCSTR, PULARGE_INTEGER, PULARGE_INTEGER, PULARGE_INTEGER);
  const auto freeSpace =
      ProcAddress<TGetDiskFreeSpaceEx>(GetModuleHandleA("kernel32.dll"), "GetDiskFreeSpaceExA");
  const std::string root = DriveRootOf(modulePath);
  if (!freeSpace || root.empty()) return;
  ULARGE_INTEGER available, total, free;
  if (!freeSpace(root.c_str(), &available, &total, &free)) return;
  system.TotalDiskBytes = total.QuadPart;
  system.FreeDiskBytes = free.QuadPart;
}

void ReadVersion(TSystemSnapshot& system) {
  OSVERSIONINFOA version{};
  version.dwOSVersionInfoSize = sizeof version;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  if (!GetVersionExA(&version)) return;
#pragma GCC diagnostic pop
  system.Platform = version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS ? TPlatformFamily::Windows9x
                                                                       : TPlatformFamily::WindowsNT;
  system.MajorVersion = version.dwMajorVersion;
  system.MinorVersion = version.dwMinorVersion;
  system.BuildNumber = version.dwBuildNumber;
  system.ServicePack.assign(version.szCSDVersion,
                            strnlen(version.szCSDVersion, sizeof version.szCSDVersion));
}

}  // namespace

std::string ModuleFileNameWin32(void* module) {
  char path[MAX_PATH + 1];
  const DWORD length = GetModuleFileNameA(static_cast<HMODULE>(module), path, MAX_PATH);
  return length > 0 && length < MAX_PATH ? std::string(path, length) : std::string();
}

void* ModuleOfAddressWin32(const void* address) { return ModuleOfAddress(address); }

std::string LongPathNameWin32(const std::string& path) {
  char buffer[MAX_PATH + 1];
  const DWORD length = GetLongPathNameA(path.c_str(), buffer, MAX_PATH);
  return length > 0 && length < MAX_PATH ? std::string(buffer, length) : path;
}

void ReadFileVersionWin32(const std::string& path, std::string& description, std::string& version) {
  description.clear();
  version.clear();
  DWORD handle = 0;
  const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &handle);
  if (size == 0) return;
  std::vector<std::uint8_t> data(size);
  if (!GetFileVersionInfoA(path.c_str(), 0, size, data.data())) return;
  void* value = nullptr;
  UINT length = 0;
  if (VerQueryValueA(data.data(), "\\", &value, &length) && value &&
      length >= sizeof(VS_FIXEDFILEINFO)) {
    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
    version = FileVersionText(fixed->dwFileVersionMS, fixed->dwFileVersionLS);
  }
  if (VerQueryValueA(data.data(), "\\VarFileInfo\\Translation", &value, &length) && value &&
      length >= 4) {
    const auto* translation = static_cast<const WORD*>(value);
    const std::string query = FileDescriptionQuery(translation[0], translation[1]);
    if (VerQueryValueA(data.data(), query.c_str(), &value, &length) && value && length > 0) {
      const auto* text = static_cast<const char*>(value);
      const std::size_t end = strnlen(text, length);
      description = FileDescriptionText(std::string_view(text, end < length ? end + 1 : end));
    }
  }
}

TDateTime LocalNowWin32() {
  Win32SystemTime now;
  GetLocalTime(&now);
  return EncodeDateTime(now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond,
                        now.wMilliseconds);
}

int LocalOffsetMinutesWin32() {
  TIME_ZONE_INFORMATION zone;
  const DWORD which = GetTimeZoneInformation(AsWin32(&zone));
  long bias = zone.Bias;
  if (which == TIME_ZONE_ID_DAYLIGHT) bias += zone.DaylightBias;
  if (which == TIME_ZONE_ID_STANDARD) bias += zone.StandardBias;
  return which == TIME_ZONE_ID_INVALID ? 0 : static_cast<int>(-bias);
}

TApplicationSnapshot CollectApplicationWin32(const TCaptureRequest& request) {
  TApplicationSnapshot app;
  app.StartTime = request.StartTime;
  app.BuildTime = request.BuildTime;
  const TSourceFailure& failed = request.OnSourceFailure;
  GuardedSource(FieldProgress(rfApplicationName), failed,
                [&] { app.ExePath = ModuleFileNameWin32(nullptr); });
  GuardedSource(FieldProgress(rfApplicationVersionNumber), failed,
                [&] { ReadFileVersionWin32(app.ExePath, app.Description, app.Version); });
  GuardedSource(FieldProgress(rfApplicationParameters), failed,
                [&] { app.Parameters = CommandLineParameters(GetCommandLineA()); });
  return app;
}

TActiveControlsSnapshot CollectActiveControlsWin32(const TCaptureRequest& request) {
  TActiveControlsSnapshot controls;
  if (request.OmitActiveControls) {
    controls.Present = false;
    return controls;
  }
  GuardedSource(FieldProgress(rfActiveControlsFormClass), request.OnSourceFailure, [&] {
    if (HWND foreground = GetForegroundWindow()) {
      controls.FormClass = WindowClass(foreground);
      controls.FormText = WindowCaption(foreground);
    }
  });
  if (request.HasFocus) {
    controls.ControlClass = request.FocusClass;
    controls.ControlText = request.FocusText;
    controls.ControlStyle = request.FocusStyle;
  }
  return controls;
}

TSystemSnapshot CollectSystemWin32(const std::string& modulePath, const TSourceFailure& failed) {
  TSystemSnapshot system;
  GuardedSource(FieldProgress(rfComputerName), failed, [&] {
    char name[MAX_COMPUTERNAME_LENGTH + 1];
    DWORD size = sizeof name;
    if (GetComputerNameA(name, &size)) system.ComputerName.assign(name, size);
  });
  GuardedSource(FieldProgress(rfComputerUser), failed, [&] {
    char name[257];
    DWORD size = sizeof name;
    if (GetUserNameA(name, &size) && size > 0) system.UserName.assign(name, strnlen(name, size));
  });
  GuardedSource(FieldProgress(rfComputerTotalMemory), failed, [&] {
    MEMORYSTATUSEX memory{};
    memory.dwLength = sizeof memory;
    if (GlobalMemoryStatusEx(&memory)) {
      system.TotalMemoryBytes = memory.ullTotalPhys;
      system.FreeMemoryBytes = memory.ullAvailPhys;
    }
  });
  GuardedSource(FieldProgress(rfComputerTotalDisk), failed, [&] { ReadDisk(system, modulePath); });
  GuardedSource(FieldProgress(rfComputerTotalDisk), failed, [&] {
    char separator[4];
    if (GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, separator, sizeof separator) > 1)
      system.DecimalSeparator = separator[0];
  });
  system.UpTimeMs = GetTickCount();
  GuardedSource(FieldProgress(rfComputerProcessor), failed, [&] { ReadProcessor(system); });
  GuardedSource(FieldProgress(rfComputerDisplayMode), failed, [&] {
    if (HDC screen = GetDC(nullptr)) {
      system.ScreenWidth = GetDeviceCaps(screen, HORZRES);
      system.ScreenHeight = GetDeviceCaps(screen, VERTRES);
      system.BitsPerPixel = GetDeviceCaps(screen, BITSPIXEL);
      ReleaseDC(nullptr, screen);
    }
  });
  GuardedSource(FieldProgress(rfOperatingSystemType), failed, [&] { ReadVersion(system); });
  GuardedSource(FieldProgress(rfOperatingSystemLanguage), failed, [&] { ReadLocales(system); });
  GuardedSource(FieldProgress(rfNetworkIPAddress), failed, [&] { ReadNetwork(system); });
  return system;
}
