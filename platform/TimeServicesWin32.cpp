#include "platform/win/WinApi.h"

#include "platform/TimeServices.h"

namespace {

class Win32TimeServices final : public ITimeServices {
 public:
  DWORD GetTimeZoneInformation(TIME_ZONE_INFORMATION& zone) override {
    Win32TimeZoneInformation system{};
    const DWORD answer = ::GetTimeZoneInformation(&system);
    zone = FromWin32(system);
    return answer;
  }
  SYSTEMTIME GetSystemTime() override {
    Win32SystemTime t;
    ::GetSystemTime(&t);
    return FromWin32(t);
  }
  SYSTEMTIME GetLocalTime() override {
    Win32SystemTime t;
    ::GetLocalTime(&t);
    return FromWin32(t);
  }
};

}  // namespace

ITimeServices& PlatformTimeServices() {
  static Win32TimeServices services;
  return services;
}
