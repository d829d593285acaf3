// The platform's clock and current zone, behind one small interface so that tests can set
// the "current" zone and time.
#pragma once

#include <memory>

#include "platform/WinTypes.h"

class ITimeServices {
 public:
  virtual ~ITimeServices() = default;
  // The system's current zone rule and the platform's answer code: TIME_ZONE_ID_STANDARD (1),
  // TIME_ZONE_ID_DAYLIGHT (2), TIME_ZONE_ID_UNKNOWN (0) or TIME_ZONE_ID_INVALID.
  virtual DWORD GetTimeZoneInformation(TIME_ZONE_INFORMATION& zone) = 0;
  // The current UTC time.
  virtual SYSTEMTIME GetSystemTime() = 0;
  // The machine's local clock.
  virtual SYSTEMTIME GetLocalTime() = 0;
};

// The services in force: the platform's own unless a test installed others.
ITimeServices& TimeServices();

// Installs other services for the lifetime of the object (tests only; not thread-safe).
class ScopedTimeServices {
 public:
  explicit ScopedTimeServices(ITimeServices& services);
  ~ScopedTimeServices();
  ScopedTimeServices(const ScopedTimeServices&) = delete;
  ScopedTimeServices& operator=(const ScopedTimeServices&) = delete;

 private:
  ITimeServices* previous_;
};

// The platform's own services: the Win32 calls on Windows; on the host, UTC as the zone and
// the C library's clock.
ITimeServices& PlatformTimeServices();
