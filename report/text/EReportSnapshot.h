// What a report is made of, as plain records: the Win32 capture fills them at the exception,
// the report text is built from them alone, and the tests build them by hand.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/DateTime.h"
#include "report/capture/EStackEntry.h"

// The eight general registers of the exception's processor context.
struct TRegisterSnapshot {
  std::uint32_t Eax = 0, Ebx = 0, Ecx = 0, Edx = 0;
  std::uint32_t Esi = 0, Edi = 0, Esp = 0, Eip = 0;
};

enum class TRaiseKind : std::uint8_t { Processor = 0, Language = 1 };

// From the exception record of an access violation, when it was readable.
struct TAccessViolationSnapshot {
  bool Write = false;                 // "Write" or "Read" of address
  std::uint32_t AccessedAddress = 0;  // the address that was accessed
};

struct TExceptionSnapshot {
  TDateTime Date = 0;  // local time of the exception
  // False when the thrown object is not of the runtime's exception classes (a thrown int):
  // the report then says "Unknown exception type." and "Unknown error message.".
  bool IsExceptionObject = true;
  std::string ClassName;
  std::string Message;
  // The raise address: the faulting instruction, or the call of the throw (already the
  // return address minus 5 for a language raise). 0: unknown.
  std::uint32_t Address = 0;
  // The module holding Address as the loader names it, and its long file name; both empty
  // when the address is in no module.
  std::string ModulePath;
  std::string ModuleLongPath;
  std::optional<TRegisterSnapshot> Context;
  TRaiseKind RaiseKind = TRaiseKind::Processor;
  std::optional<TAccessViolationSnapshot> AccessViolation;
};

struct TApplicationSnapshot {
  TDateTime StartTime = 0;              // local time
  std::string ExePath;                  // the program file
  std::string Description;              // from its version resource; empty: the file name is shown
  std::string Version;                  // "1.0.3.12", empty when the resource has none
  std::vector<std::string> Parameters;  // command-line parameters 1..n
  TDateTime BuildTime = 0;              // from the module configuration (UTC); 0: none
};

struct TActiveControlsSnapshot {
  // Console and web programs have no active controls: the fields of section 3 are left out.
  bool Present = true;
  std::string FormClass;
  std::string FormText;
  std::string ControlClass;
  std::string ControlText;
  std::uint32_t ControlStyle = 0;  // window style of the focused control (0x20: password)
};

// One installed locale as the locale enumeration gives it.
struct TLocaleSnapshot {
  std::string Identifier;    // eight hexadecimal digits, e.g. "00000409"
  std::string LanguageName;  // locale information 3 (the abbreviated language name)
  std::string FullName;      // locale information 0x1001 (the English language name)
};

struct TNetworkAdapterSnapshot {
  std::string IpAddress;  // first address, dotted; empty: none
  std::string Mask;
  std::string Gateway;  // first gateway
  std::vector<std::string> DnsServers;
  bool Dhcp = false;
};

enum class TPlatformFamily : std::uint8_t { Windows9x = 1, WindowsNT = 2 };

struct TSystemSnapshot {
  std::string ComputerName;
  std::string UserName;
  std::uint64_t TotalMemoryBytes = 0;  // physical memory
  std::uint64_t FreeMemoryBytes = 0;
  // Absent when the platform lacks the extended free-space query.
  std::optional<std::uint64_t> TotalDiskBytes;
  std::optional<std::uint64_t> FreeDiskBytes;
  char DecimalSeparator = '.';
  std::uint32_t UpTimeMs = 0;
  // Registry values of the first processor, as read: the whole value with its terminating
  // zero; absent when the value is missing.
  std::optional<std::string> ProcessorNameString;
  std::optional<std::string> VendorIdentifier;
  std::optional<std::string> Identifier;
  int ScreenWidth = 0, ScreenHeight = 0, BitsPerPixel = 0;
  TPlatformFamily Platform = TPlatformFamily::WindowsNT;
  std::uint32_t MajorVersion = 0, MinorVersion = 0, BuildNumber = 0;
  std::string ServicePack;  // the service-pack text as the system gives it
  std::vector<TLocaleSnapshot> Locales;
  std::uint16_t DefaultLanguageId = 0;
  // Absent when the IP configuration library could not be used.
  std::optional<std::vector<TNetworkAdapterSnapshot>> Network;
};

// A thread of the call-stack block, for its thread line.
constexpr std::int32_t ThreadPriorityUnknown = static_cast<std::int32_t>(0x80000000u);
struct TThreadSnapshot {
  std::uint32_t Id = 0;
  std::int32_t Priority = ThreadPriorityUnknown;
  std::string ClassName;  // of the runtime's thread object; empty without one
  bool IsMain = false;
};

struct TModuleSnapshot {
  std::uint32_t Handle = 0;
  std::string Path;
  std::string Description;
  std::string Version;
  std::uint32_t Size = 0;  // bytes
  TDateTime Modified = 0;  // last write of the file, local time
};

// Everything one report needs. The stack list holds the frames of all walked threads, the
// exception thread's first; Threads describes the threads the frames name.
struct TReportSnapshot {
  TApplicationSnapshot Application;
  TExceptionSnapshot Exception;
  TActiveControlsSnapshot ActiveControls;
  TSystemSnapshot System;
  // Local time minus UTC, in minutes, at the time of the report.
  int LocalOffsetMinutes = 0;
  TOskedaStackList Stack;
  std::vector<TThreadSnapshot> Threads;
  std::vector<TModuleSnapshot> Modules;
};
