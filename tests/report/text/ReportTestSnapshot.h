// The canned snapshot the report layout tests start from: one value of every kind.
#pragma once

#include "platform/DateTime.h"
#include "report/text/EReportSnapshot.h"

inline TOskedaStackEntry Frame(std::uint32_t thread, bool running, std::uint8_t kind,
                               std::uint32_t address, const char* module, const char* unit,
                               const char* cls, const char* proc, std::uint32_t line,
                               std::uint32_t lineOffset = 0) {
  TOskedaStackEntry e;
  e.ThreadId = thread;
  e.Running = running;
  e.Kind = kind;
  e.Address = address;
  e.ModulePath = module;
  e.UnitName = unit;
  e.ClassName = cls;
  e.ProcedureName = proc;
  e.Line = line;
  e.LineOffset = lineOffset;
  return e;
}

inline TReportSnapshot CannedSnapshot() {
  TReportSnapshot s;
  s.LocalOffsetMinutes = 60;
  s.Application.StartTime = EncodeDateTime(2026, 12, 8, 9, 15, 30, 0);
  s.Application.ExePath = "C:\\Program Files\\Dialmoor\\Dialmoor.exe";
  s.Application.Version = "1.0.3.12";
  s.Application.Parameters = {"-x", "a b"};
  s.Application.BuildTime = EncodeDateTime(2026, 12, 1, 8, 0, 0, 0);

  TExceptionSnapshot& e = s.Exception;
  e.Date = EncodeDateTime(2026, 12, 8, 10, 20, 5, 0);
  e.ClassName = "EAccessViolation";
  e.Message =
      "Access violation at address 00401A2B in module 'Dialmoor.exe'. Read of address 00000000";
  e.Address = 0x00401A2B;
  e.ModulePath = s.Application.ExePath;
  e.ModuleLongPath = s.Application.ExePath;
  e.AccessViolation = TAccessViolationSnapshot{false, 0};
  e.Context = TRegisterSnapshot{1, 2, 3, 4, 5, 6, 0x0012FF00, 0x00401A2B};

  s.ActiveControls = {true, "TForm1", "Dialmoor\t- clock", "Edit", "secret", 0x20};

  TSystemSnapshot& sys = s.System;
  sys.ComputerName = "BUILDBOX";
  sys.UserName = "dev";
  sys.TotalMemoryBytes = 2048ull << 20;
  sys.FreeMemoryBytes = (512ull << 20) + 300000;
  sys.TotalDiskBytes = 100ull << 30;
  sys.FreeDiskBytes = 3ull << 29;
  sys.UpTimeMs = 90061000;
  sys.ProcessorNameString = std::string("  Intel(R) Core(TM) i7 \0", 24);
  sys.ScreenWidth = 1280;
  sys.ScreenHeight = 1024;
  sys.BitsPerPixel = 32;
  sys.MajorVersion = 5;
  sys.MinorVersion = 1;
  sys.BuildNumber = 2600;
  sys.ServicePack = "Service Pack 3 ";
  sys.Locales = {{"00000407", "DEU", "German"}, {"00000409", "ENU", "English"}};
  sys.DefaultLanguageId = 0x409;
  sys.Network = std::vector<TNetworkAdapterSnapshot>{
      {"192.168.1.10", "255.255.255.0", "192.168.1.1", {"10.0.0.53"}, true}};

  const char* exe = "C:\\Program Files\\Dialmoor\\Dialmoor.exe";
  const char* k32 = "C:\\windows\\system32\\kernel32.dll";
  s.Stack = {
      Frame(1234, false, 4, 0x00401A2B, exe, "app/Unit1.cpp", "TForm1", "Timer1Timer", 42, 3),
      Frame(1234, false, 1, 0x00409999, exe, "", "", "", 0),
      Frame(1234, false, 2, 0x7C801234, k32, "", "", "RaiseException", 0),
      Frame(1234, false, 0, 0x12345678, "", "", "", "", 0),
      Frame(1234, false, 3, 0x00402000, exe, "", "", "__cxa_throw", 0),
      Frame(2000, true, 4, 0x00401B00, exe, "app/Worker.cpp", "TWorker", "Execute", 17, 12),
      Frame(3000, false, 4, 0x00401C00, exe, "app/Main.cpp", "", "main", 5, 0)};
  s.Threads = {
      {1234, 0, "", true}, {2000, -2, "TWorker", false}, {3000, ThreadPriorityUnknown, "", false}};
  s.Modules = {{0x7C800000, k32, "Wine core dll", "5.1.2600.2180", 524288,
                EncodeDateTime(2020, 1, 2, 3, 4, 5, 0)},
               {0x00400000, "C:\\Dialmoor.exe", "Dialmoor clock", "1.0.3.12", 123456,
                EncodeDateTime(2026, 12, 1, 9, 0, 0, 0)}};
  return s;
}
