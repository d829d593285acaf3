// The system zone catalogue: the zones under the registry's catalogue key, loaded into zone
// objects, and the writing back of changed zones, guarded by WriteAccess.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/RegistryBackend.h"
#include "platform/WinTypes.h"

class TKtRegistryTimeZones;

// One catalogue zone. A zone with an owner saves each change made through a setter at once;
// a zone without one only keeps it in memory.
class TKtRegistryTimeZone {
 public:
  TKtRegistryTimeZone();
  TKtRegistryTimeZone(const TKtRegistryTimeZone&) = delete;
  TKtRegistryTimeZone& operator=(const TKtRegistryTimeZone&) = delete;

  const std::string& DisplayName() const { return displayName_; }
  const std::string& KeyName() const { return keyName_; }
  const TIME_ZONE_INFORMATION& Rule() const { return rule_; }
  // Each setter sets LastSaveOK, does nothing more for a value equal to the current one
  // (strings exactly, rules by SameZoneRules), else stores it and has the owner update the
  // registry. Errors of the update (WriteAccess not set, registry errors) pass to the caller
  // with the new value kept and LastSaveOK true.
  void SetDisplayName(const std::string& value);
  void SetKeyName(const std::string& value);
  void SetRule(const TIME_ZONE_INFORMATION& value);

  TKtRegistryTimeZones* Owner() const { return owner_; }
  // Stores the reference only.
  void SetOwner(TKtRegistryTimeZones* owner) { owner_ = owner; }
  // False on a new zone until a setter ran; afterwards false only when the last change
  // through a setter could not be saved.
  bool LastSaveOK() const { return lastSaveOK_; }
  // The subkey the zone is stored under now; empty until it was loaded or saved.
  const std::string& StoredKeyName() const { return storedKeyName_; }
  // Sets the owner's WriteAccess; nothing without an owner.
  void SetWriteAccess(bool value);

 private:
  friend class TKtRegistryTimeZones;
  template <typename T, typename Equal>
  void Assign(T& field, const T& value, Equal equal);

  std::string displayName_;
  std::string keyName_;
  bool lastSaveOK_ = false;
  TKtRegistryTimeZones* owner_ = nullptr;
  std::string storedKeyName_;
  TIME_ZONE_INFORMATION rule_{};
};

class TKtRegistryTimeZones {
 public:
  // Loads the catalogue from the backend (the process default unless given).
  explicit TKtRegistryTimeZones(IRegistryBackend& backend = DefaultRegistryBackend());
  virtual ~TKtRegistryTimeZones();
  TKtRegistryTimeZones(const TKtRegistryTimeZones&) = delete;
  TKtRegistryTimeZones& operator=(const TKtRegistryTimeZones&) = delete;

  // Frees every zone: references to them become invalid.
  void Clear();
  int Count() const { return static_cast<int>(zones_.size()); }
  // EListError "List index out of bounds (%d)" outside 0..Count()-1.
  TKtRegistryTimeZone& Items(int index) const;
  // Discards all zones and reads the catalogue again, in registry enumeration order. A
  // missing catalogue key gives an empty catalogue; zone keys without a 44-byte "TZI", or
  // with a value of the wrong type, are skipped.
  void Reload();

  // Must be true for any write to the registry.
  bool WriteAccess = false;
  // Exception "TKtRegistryTimeZones: WriteAccess not set." unless WriteAccess.
  void CheckWriteAccess() const;
  // Moves the zone's subkey when its KeyName changed other than in letter case, then
  // SaveZone. A zone never stored yet has nothing to move.
  bool UpdateZone(TKtRegistryTimeZone& zone);
  // Writes the zone's four values under the subkey KeyName, creating it when missing. False,
  // with nothing written, when that key cannot be opened for writing or KeyName names no
  // subkey (empty, or containing a backslash).
  bool SaveZone(TKtRegistryTimeZone& zone);

 protected:
  struct TUnloaded {};
  // An empty catalogue; Reload fills it.
  TKtRegistryTimeZones(IRegistryBackend& backend, TUnloaded);

 private:
  IRegistryBackend& backend_;
  std::vector<std::unique_ptr<TKtRegistryTimeZone>> zones_;
};
