// A canned snapshot for the dialog's lists: six threads of which five have listed frames,
// frames of every kind, a library of our own, line offsets, modules out of handle order.
#pragma once

#include "platform/DateTime.h"
#include "report/text/EReportSnapshot.h"

inline TOskedaStackEntry ListFrame(std::uint32_t thread, bool running, std::uint8_t kind,
                                   std::uint32_t address, const char* module, const char* unit,
                                   const char* cls, const char* proc, std::uint32_t line,
                                   std::uint32_t lineOffset = 0) {
  TOskedaStackEntry e;
  static_cast<TResolvedAddress&>(e) = {kind, 0, module, unit, cls, proc, line, lineOffset};
  e.ThreadId = thread;
  e.Running = running;
  e.Address = address;
  return e;
}

constexpr const char* ListExe = "C:\\Program Files\\Dialmoor\\Dialmoor.exe";
constexpr const char* ListPlugin = "C:\\Program Files\\Dialmoor\\Chimes.dll";
constexpr const char* ListKernel = "C:\\windows\\system32\\kernel32.dll";

inline TReportSnapshot FiveThreadSnapshot() {
  TReportSnapshot s;
  s.Application.ExePath = ListExe;
  s.Application.BuildTime = EncodeDateTime(2026, 12, 1, 8, 30, 0, 0);
  s.Stack = {
      ListFrame(1234, false, 4, 0x401A2B, ListExe, "app/Unit1.cpp", "TForm1", "Timer1Timer", 42, 3),
      ListFrame(1234, false, 0, 0x12345678, "", "", "", "", 0),
      ListFrame(1234, false, 3, 0x402000, ListExe, "", "", "__cxa_throw", 0),
      ListFrame(1234, false, 2, 0x7C801234, ListKernel, "", "", "RaiseException", 0),
      ListFrame(1234, false, 4, 0x401100, "c:\\program files\\dialmoor\\DIALMOOR.EXE",
                "app/Main.cpp", "", "WinMain", 12),
      ListFrame(2000, true, 4, 0x401B00, ListExe, "app/Worker.cpp", "TWorker", "Execute", 17, 12),
      ListFrame(2000, true, 1, 0x409999, ListExe, "", "", "", 0),
      ListFrame(3000, false, 4, 0x10001010, ListPlugin, "chimes/Bell.cpp", "TBell", "Ring", 88, 40),
      ListFrame(3000, false, 4, 0x10001200, ListPlugin, "chimes/Bell.cpp", "TBell", "Loop", 0),
      ListFrame(4000, false, 1, 0x409990, ListExe, "", "", "", 0),
      ListFrame(5000, true, 4, 0x401C00, ListExe, "app/Idle.cpp", "", "IdleLoop", 5),
      ListFrame(6000, false, 4, 0x401D00, ListExe, "app/Timer.cpp", "TTicker", "Wait", 230, 7),
      ListFrame(6000, false, 2, 0x7C802000, ListKernel, "", "", "WaitForSingleObject", 0)};
  s.Threads = {{1234, 0, "", true},    {2000, -2, "TWorker", false},
               {3000, 1, "", false},   {4000, 0, "", false},
               {5000, ThreadPriorityUnknown, "", false}, {6000, 2, "TTicker", false}};
  s.Modules = {{0x7C800000, ListKernel, "Wine core dll", "5.1.2600.2180", 524288, 45720.25},
               {0x00400000, ListExe, "Dialmoor clock", "1.0.3.12", 1048576, 46357.5},
               {0x10000000, ListPlugin, "", "", 40960, 46356.75}};
  return s;
}
