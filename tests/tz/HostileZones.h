// Zones written straight into the catalogue of the test prefix, with whatever value types and
// rules a test wants, and removed again when the test ends, also when it fails half-way.
#pragma once

#include "platform/win/WinApi.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "platform/WinTypes.h"
#include "tz/KtTimezoneRegistry.h"

class HostileZones {
 public:
  HostileZones() = default;
  ~HostileZones() {
    HKEY catalogue = Catalogue();
    if (!catalogue) return;
    for (const std::string& name : names_) RegDeleteKeyA(catalogue, name.c_str());
    RegCloseKey(catalogue);
  }
  HostileZones(const HostileZones&) = delete;
  HostileZones& operator=(const HostileZones&) = delete;

  // A zone with the four values as the catalogue stores them.
  bool Add(const std::string& name, const TIME_ZONE_INFORMATION& rule) {
    const TziBytes tzi = PackTimeZoneInfo(rule);
    return Put(name, "TZI", REG_BINARY, tzi.data(), tzi.size()) &&
           PutText(name, "Display", "(UTC) " + name) && PutText(name, "Std", name) &&
           PutText(name, "Dlt", name);
  }
  // One value of any type, replacing what is there.
  bool Put(const std::string& name, const char* value, DWORD type, const void* data, size_t size) {
    HKEY catalogue = Catalogue();
    if (!catalogue) return false;
    HKEY zone;
    const bool created = !RegCreateKeyExA(catalogue, name.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                          nullptr, &zone, nullptr);
    RegCloseKey(catalogue);
    if (!created) return false;
    if (std::find(names_.begin(), names_.end(), name) == names_.end()) names_.push_back(name);
    const bool set = !RegSetValueExA(zone, value, 0, type, static_cast<const BYTE*>(data),
                                     static_cast<DWORD>(size));
    RegCloseKey(zone);
    return set;
  }
  bool PutText(const std::string& name, const char* value, const std::string& text) {
    return Put(name, value, REG_SZ, text.c_str(), text.size() + 1);
  }

 private:
  static HKEY Catalogue() {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, TimeZonesRegistryPath().substr(1).c_str(), 0,
                      KEY_ALL_ACCESS, &key))
      return nullptr;
    return key;
  }
  std::vector<std::string> names_;
};
