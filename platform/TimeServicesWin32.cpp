#include "platform/TimeServices.h"

namespace {

class Win32TimeServices final : public ITimeServices {
 public:
  DWORD GetTimeZoneInformation(TIME_ZONE_INFORMATION& zone) override {
    return ::GetTimeZoneInformation(&zone);
  }
  SYSTEMTIME GetSystemTime() override {
    SYSTEMTIME t;
    ::GetSystemTime(&t);
    return t;
  }
  SYSTEMTIME GetLocalTime() override {
    SYSTEMTIME t;
    ::GetLocalTime(&t);
    return t;
  }
};

}  // namespace

ITimeServices& PlatformTimeServices() {
  static Win32TimeServices services;
  return services;
}
