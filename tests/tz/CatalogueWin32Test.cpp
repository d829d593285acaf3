// The catalogue on the real registry of Wine (or Windows): reading the system's zones, and
// editing a test zone of our own that is removed again whatever happens.
#include "platform/win/WinApi.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/Registry.h"
#include "tz/KtTimezone.h"
#include "tz/KtTimezoneCatalogue.h"
#include "tz/KtTimezoneRegistry.h"
#include "tz/KtTimezoneShared.h"
#include "tests/tz/HostileZones.h"

namespace {

TKtRegistryTimeZone* Find(TKtRegistryTimeZones& catalogue, const std::string& key) {
  for (int i = 0; i < catalogue.Count(); ++i)
    if (catalogue.Items(i).KeyName() == key) return &catalogue.Items(i);
  return nullptr;
}

TEST(CatalogueWin32Test, LoadsTheSystemCatalogue) {
  TKtRegistryTimeZones catalogue;
  ASSERT_GT(catalogue.Count(), 100);

  struct Known {
    const char* key;
    LONG bias;
    const char* city;
  };
  for (const Known& known : {Known{"W. Europe Standard Time", -60, "Berlin"},
                             Known{"AUS Eastern Standard Time", -600, "Sydney"},
                             Known{"Eastern Standard Time", 300, "Eastern Time"}}) {
    SCOPED_TRACE(known.key);
    const TKtRegistryTimeZone* zone = Find(catalogue, known.key);
    ASSERT_NE(zone, nullptr);
    EXPECT_EQ(zone->Rule().Bias, known.bias);
    EXPECT_EQ(zone->Rule().DaylightBias, -60);
    EXPECT_NE(zone->Rule().DaylightDate.wMonth, 0);
    EXPECT_NE(zone->DisplayName().find(known.city), std::string::npos) << zone->DisplayName();
    EXPECT_EQ(zone->DisplayName().rfind("(UTC", 0), 0u) << zone->DisplayName();
    EXPECT_EQ(ZoneNameFieldText(zone->Rule().StandardName), known.key);
    EXPECT_EQ(zone->StoredKeyName(), known.key);
    EXPECT_EQ(zone->Owner(), &catalogue);
  }
}

TEST(CatalogueWin32Test, EveryZoneRoundTripsThroughItsRegistryValues) {
  TKtRegistryTimeZones catalogue;
  ASSERT_GT(catalogue.Count(), 100);
  TBetterRegistry registry;
  registry.SetRootKey(RegistryRoot::LocalMachine);
  for (int i = 0; i < catalogue.Count(); ++i) {
    const TKtRegistryTimeZone& zone = catalogue.Items(i);
    SCOPED_TRACE(zone.KeyName());
    ASSERT_TRUE(registry.OpenKeyReadOnly(TimeZonesRegistryPath() + "\\" + zone.KeyName()));
    std::string display;
    TIME_ZONE_INFORMATION rule{};
    ASSERT_TRUE(registry.ReadTimeZoneInfo(display, rule));
    EXPECT_EQ(display, zone.DisplayName());
    EXPECT_TRUE(SameZoneRules(rule, zone.Rule()));
    TziBytes stored{};
    ASSERT_EQ(registry.ReadBinaryData("TZI", stored.data(), TziSize), TziSize);
    EXPECT_EQ(PackTimeZoneInfo(zone.Rule()), stored);
    EXPECT_EQ(ZoneNameFieldText(rule.StandardName), registry.ReadString("Std"));
    registry.CloseKey();
  }
}

TEST(CatalogueWin32Test, TheSharedCatalogueWasLoadedAtStartUp) {
  TKtRegistryTimeZones fresh;
  EXPECT_EQ(KtSharedTimeZones().Count(), fresh.Count());
  EXPECT_EQ(&KtSharedTimeZones(), &KtSharedTimeZones());
}

// Removes the test zone's keys when the test ends, also when it fails half-way.
class TestZoneKeys {
 public:
  explicit TestZoneKeys(std::initializer_list<std::string> names) : names_(names) { Remove(); }
  ~TestZoneKeys() { Remove(); }
  TestZoneKeys(const TestZoneKeys&) = delete;
  TestZoneKeys& operator=(const TestZoneKeys&) = delete;

 private:
  void Remove() {
    TRegistry registry;
    registry.SetRootKey(RegistryRoot::LocalMachine);
    for (const std::string& name : names_)
      registry.DeleteKey(TimeZonesRegistryPath() + "\\" + name);
  }
  std::vector<std::string> names_;
};

TEST(CatalogueWin32Test, EditsAndRenamesATestZoneAndLeavesTheRegistryAsFound) {
  const std::string pid = std::to_string(GetCurrentProcessId());
  const std::string created = "Dialmoor Test Zone " + pid;
  const std::string renamed = "Dialmoor Renamed Zone " + pid;
  const int before = TKtRegistryTimeZones().Count();
  {
    TestZoneKeys cleanup{created, renamed};

    TIME_ZONE_INFORMATION rule{};
    rule.Bias = -330;
    SetZoneNameField(rule.StandardName, "Dialmoor Standard Time");
    SetZoneNameField(rule.DaylightName, "Dialmoor Daylight Time");
    {
      TBetterRegistry registry;
      registry.SetRootKey(RegistryRoot::LocalMachine);
      ASSERT_TRUE(registry.OpenKey(TimeZonesRegistryPath() + "\\" + created, true));
      ASSERT_TRUE(registry.WriteTimeZoneInfo("(UTC+05:30) Dialmoor", rule));
      registry.WriteString("Extra", "kept by the move");
    }

    TKtRegistryTimeZones catalogue;
    ASSERT_EQ(catalogue.Count(), before + 1);
    TKtRegistryTimeZone* zone = Find(catalogue, created);
    ASSERT_NE(zone, nullptr);
    EXPECT_EQ(zone->DisplayName(), "(UTC+05:30) Dialmoor");
    EXPECT_TRUE(SameZoneRules(zone->Rule(), rule));
    // The shared catalogue was read before this test made its zone.
    EXPECT_EQ(Find(KtSharedTimeZones(), created), nullptr);

    TIME_ZONE_INFORMATION edited = rule;
    edited.DaylightBias = -60;
    edited.DaylightDate = {0, 3, 0, 5, 2, 0, 0, 0};
    edited.StandardDate = {0, 10, 0, 5, 3, 0, 0, 0};
    EXPECT_THROW(zone->SetRule(edited), Exception);  // no WriteAccess yet
    zone->SetWriteAccess(true);
    zone->SetRule(rule);  // back to what is stored
    zone->SetRule(edited);
    zone->SetKeyName(renamed);
    zone->SetWriteAccess(false);
    EXPECT_FALSE(catalogue.WriteAccess);
    EXPECT_TRUE(zone->LastSaveOK());

    TBetterRegistry registry;
    registry.SetRootKey(RegistryRoot::LocalMachine);
    EXPECT_FALSE(registry.KeyExists(TimeZonesRegistryPath() + "\\" + created));
    ASSERT_TRUE(registry.OpenKeyReadOnly(TimeZonesRegistryPath() + "\\" + renamed));
    EXPECT_EQ(registry.ReadString("Extra"), "kept by the move");
    TziBytes stored{};
    ASSERT_EQ(registry.ReadBinaryData("TZI", stored.data(), TziSize), TziSize);
    EXPECT_EQ(stored, PackTimeZoneInfo(edited));
    registry.CloseKey();

    catalogue.Reload();
    EXPECT_EQ(Find(catalogue, created), nullptr);
    const TKtRegistryTimeZone* reloaded = Find(catalogue, renamed);
    ASSERT_NE(reloaded, nullptr);
    EXPECT_TRUE(SameZoneRules(reloaded->Rule(), edited));
    EXPECT_EQ(reloaded->DisplayName(), "(UTC+05:30) Dialmoor");
  }
  TKtRegistryTimeZones after;
  EXPECT_EQ(after.Count(), before);
  EXPECT_EQ(Find(after, created), nullptr);
  EXPECT_EQ(Find(after, renamed), nullptr);
}

TEST(CatalogueWin32Test, MistypedValuesCostOnlyTheirZone) {
  const std::string pid = std::to_string(GetCurrentProcessId());
  const int before = TKtRegistryTimeZones().Count();
  {
    HostileZones hostile;
    TIME_ZONE_INFORMATION extreme{};
    extreme.Bias = 0x7fffffff;
    ASSERT_TRUE(hostile.Add("Dialmoor Extreme " + pid, extreme));
    ASSERT_TRUE(hostile.Add("Dialmoor String TZI " + pid, extreme));
    const std::string text(43, 'x');
    ASSERT_TRUE(hostile.Put("Dialmoor String TZI " + pid, "TZI", REG_SZ, text.c_str(), 44));
    ASSERT_TRUE(hostile.Add("Dialmoor Number Display " + pid, extreme));
    const DWORD number = 7;
    ASSERT_TRUE(hostile.Put("Dialmoor Number Display " + pid, "Display", REG_DWORD, &number, 4));

    TKtRegistryTimeZones catalogue;
    EXPECT_EQ(catalogue.Count(), before + 1);
    const TKtRegistryTimeZone* kept = Find(catalogue, "Dialmoor Extreme " + pid);
    ASSERT_NE(kept, nullptr);
    EXPECT_EQ(kept->Rule().Bias, 0x7fffffff);
  }
  EXPECT_EQ(TKtRegistryTimeZones().Count(), before);
}

}  // namespace
