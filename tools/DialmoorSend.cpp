// DialmoorSend: checks a delivery configuration by sending a report through it.
// DialmoorSend --options FILE [--file PATH]... REPORT
#include "platform/win/WinApi.h"

#include <cstdio>
#include <iostream>

#include "tools/SendCommand.h"

int main(int argc, char** argv) {
  TSendEnvironment environment;
  environment.Smtp = PlatformSmtpServices();
  environment.Web = PlatformWebServices();
  char folder[MAX_PATH + 1] = {};
  const DWORD length = GetTempPathA(sizeof folder, folder);
  environment.TempFolder = length > 0 && length < sizeof folder ? folder : ".\\";
  environment.TimeStamp = [] {
    Win32SystemTime t;
    GetLocalTime(&t);
    char text[32];
    std::snprintf(text, sizeof text, "%04u%02u%02u%02u%02u%02u", t.wYear, t.wMonth, t.wDay,
                  t.wHour, t.wMinute, t.wSecond);
    return std::string(text);
  };
  const int status = RunSendCommand(std::vector<std::string>(argv + 1, argv + argc), environment,
                                    std::cout, std::cerr);
  std::cout.flush();
  return status;
}
