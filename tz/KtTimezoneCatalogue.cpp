#include "tz/KtTimezoneCatalogue.h"

#include "platform/SysUtils.h"
#include "tz/KtTimezone.h"
#include "tz/KtTimezoneRegistry.h"

namespace {

// A zone is one subkey directly under the catalogue key: an empty name would address the
// catalogue key itself and a backslash a key further down.
bool IsZoneKeyName(const std::string& name) {
  return !name.empty() && name.find('\\') == std::string::npos;
}

// One mistyped value costs only its own zone, as a "TZI" of the wrong size does.
bool ReadZoneValues(TBetterRegistry& registry, std::string& displayName, TIME_ZONE_INFORMATION& rule) {
  try {
    return registry.ReadTimeZoneInfo(displayName, rule);
  } catch (const ERegistryException&) {
    return false;
  }
}

std::string ZoneKeyPath(const std::string& keyName) {
  return TimeZonesRegistryPath() + "\\" + keyName;
}

}  // namespace

TKtRegistryTimeZone::TKtRegistryTimeZone() = default;

template <typename T, typename Equal>
void TKtRegistryTimeZone::Assign(T& field, const T& value, Equal equal) {
  lastSaveOK_ = true;
  if (equal(field, value)) return;
  field = value;
  if (owner_ && !owner_->UpdateZone(*this)) lastSaveOK_ = false;
}

void TKtRegistryTimeZone::SetDisplayName(const std::string& value) {
  Assign(displayName_, value, [](const std::string& a, const std::string& b) { return a == b; });
}

void TKtRegistryTimeZone::SetKeyName(const std::string& value) {
  Assign(keyName_, value, [](const std::string& a, const std::string& b) { return a == b; });
}

void TKtRegistryTimeZone::SetRule(const TIME_ZONE_INFORMATION& value) {
  Assign(rule_, value, SameZoneRules);
}

void TKtRegistryTimeZone::SetWriteAccess(bool value) {
  if (owner_) owner_->WriteAccess = value;
}

TKtRegistryTimeZones::TKtRegistryTimeZones(IRegistryBackend& backend)
    : TKtRegistryTimeZones(backend, TUnloaded{}) {
  Reload();
}

TKtRegistryTimeZones::TKtRegistryTimeZones(IRegistryBackend& backend, TUnloaded)
    : backend_(backend) {}

TKtRegistryTimeZones::~TKtRegistryTimeZones() { Clear(); }

void TKtRegistryTimeZones::Clear() { zones_.clear(); }

TKtRegistryTimeZone& TKtRegistryTimeZones::Items(int index) const {
  if (index < 0 || index >= Count())
    throw EListError(Format("List index out of bounds (%d)", index));
  return *zones_[static_cast<std::size_t>(index)];
}

void TKtRegistryTimeZones::Reload() {
  Clear();
  TBetterRegistry registry(backend_);
  registry.SetRootKey(RegistryRoot::LocalMachine);
  const std::string cataloguePath = TimeZonesRegistryPath();
  if (!registry.OpenKeyReadOnly(cataloguePath)) return;
  for (const std::string& name : registry.GetKeyNames()) {
    if (!registry.OpenKeyReadOnly(cataloguePath + "\\" + name)) continue;
    std::string displayName;
    TIME_ZONE_INFORMATION rule{};
    if (ReadZoneValues(registry, displayName, rule)) {
      // The owner is set last so that filling the zone writes nothing back.
      auto zone = std::make_unique<TKtRegistryTimeZone>();
      zone->SetRule(rule);
      zone->SetKeyName(name);
      zone->SetDisplayName(displayName);
      zone->storedKeyName_ = name;
      zones_.push_back(std::move(zone));
      zones_.back()->SetOwner(this);
    }
    registry.CloseKey();
  }
}

void TKtRegistryTimeZones::CheckWriteAccess() const {
  if (!WriteAccess) throw Exception("TKtRegistryTimeZones: WriteAccess not set.");
}

bool TKtRegistryTimeZones::UpdateZone(TKtRegistryTimeZone& zone) {
  CheckWriteAccess();
  TBetterRegistry registry(backend_);
  registry.SetRootKey(RegistryRoot::LocalMachine);
  if (IsZoneKeyName(zone.storedKeyName_) && IsZoneKeyName(zone.keyName_) &&
      !RegistryNamesEqual(zone.storedKeyName_, zone.keyName_)) {
    registry.MoveKey(ZoneKeyPath(zone.storedKeyName_), ZoneKeyPath(zone.keyName_), true);
    zone.storedKeyName_ = zone.keyName_;
  }
  return SaveZone(zone);
}

bool TKtRegistryTimeZones::SaveZone(TKtRegistryTimeZone& zone) {
  CheckWriteAccess();
  TBetterRegistry registry(backend_);
  registry.SetRootKey(RegistryRoot::LocalMachine);
  if (!IsZoneKeyName(zone.keyName_)) return false;
  zone.storedKeyName_ = zone.keyName_;
  if (!registry.OpenKey(ZoneKeyPath(zone.storedKeyName_), true)) return false;
  registry.WriteTimeZoneInfo(zone.displayName_, zone.rule_);
  registry.CloseKey();
  return true;
}
