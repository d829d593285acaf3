// Host stand-in for the platform clock: the zone is UTC without daylight saving.
#include <chrono>
#include <cstring>

#include "platform/DateTime.h"
#include "platform/TimeServices.h"

namespace {

class HostTimeServices final : public ITimeServices {
 public:
  DWORD GetTimeZoneInformation(TIME_ZONE_INFORMATION& zone) override {
    std::memset(&zone, 0, sizeof zone);
    return TIME_ZONE_ID_UNKNOWN;
  }
  SYSTEMTIME GetSystemTime() override {
    using namespace std::chrono;
    const auto ms = duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
    // 1 January 1970 is day 25569.
    return DateTimeToSystemTime(25569.0 + static_cast<double>(ms) / MSecsPerDay);
  }
  SYSTEMTIME GetLocalTime() override { return GetSystemTime(); }
};

}  // namespace

ITimeServices& PlatformTimeServices() {
  static HostTimeServices services;
  return services;
}
