#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/MemoryRegistry.h"
#include "platform/Registry.h"
#include "platform/SysUtils.h"
#include "tz/KtTimezone.h"
#include "tz/KtTimezoneCatalogue.h"
#include "tz/KtTimezoneRegistry.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

const char kCatalogue[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Time Zones";

// Central Europe: daylight from the last Sunday of March 02:00, standard from the last Sunday
// of October 03:00.
TIME_ZONE_INFORMATION CentralEurope() {
  TIME_ZONE_INFORMATION rule{};
  rule.Bias = -60;
  rule.DaylightBias = -60;
  rule.StandardDate = {0, 10, 0, 5, 3, 0, 0, 0};
  rule.DaylightDate = {0, 3, 0, 5, 2, 0, 0, 0};
  SetZoneNameField(rule.StandardName, "W. Europe Standard Time");
  SetZoneNameField(rule.DaylightName, "W. Europe Daylight Time");
  return rule;
}

TIME_ZONE_INFORMATION Tokyo() {
  TIME_ZONE_INFORMATION rule{};
  rule.Bias = -540;
  SetZoneNameField(rule.StandardName, "Tokyo Standard Time");
  SetZoneNameField(rule.DaylightName, "Tokyo Daylight Time");
  return rule;
}

Bytes Tzi(const TIME_ZONE_INFORMATION& rule) {
  const TziBytes packed = PackTimeZoneInfo(rule);
  return Bytes(packed.begin(), packed.end());
}

Bytes Text(const std::string& s) {
  Bytes data(s.begin(), s.end());
  data.push_back(0);
  return data;
}

class CatalogueTest : public ::testing::Test {
 protected:
  MemoryRegistry store;

  static std::string ZonePath(const std::string& key) {
    return std::string(kCatalogue) + "\\" + key;
  }

  void PutValue(const std::string& key, const std::string& name, DWORD type, const Bytes& data) {
    auto k = store.CreateKey(RegistryRoot::LocalMachine, ZonePath(key));
    ASSERT_TRUE(k);
    ASSERT_TRUE(k->SetValue(name, type, data));
  }

  void PutZone(const std::string& key, const std::string& display,
               const TIME_ZONE_INFORMATION& rule) {
    PutValue(key, "Display", RegistryType::String, Text(display));
    PutValue(key, "Std", RegistryType::String, Text(ZoneNameFieldText(rule.StandardName)));
    PutValue(key, "Dlt", RegistryType::String, Text(ZoneNameFieldText(rule.DaylightName)));
    PutValue(key, "TZI", RegistryType::Binary, Tzi(rule));
  }

  // The value as stored, or an empty buffer with type None when it is missing.
  RegistryValue Stored(const std::string& key, const std::string& name) {
    RegistryValue value;
    auto k = store.OpenKey(RegistryRoot::LocalMachine, ZonePath(key), RegistryAccess::Read);
    if (k) k->QueryValue(name, value);
    return value;
  }

  bool KeyExists(const std::string& key) {
    return store.OpenKey(RegistryRoot::LocalMachine, ZonePath(key), RegistryAccess::Read) !=
           nullptr;
  }

  std::vector<std::string> ZoneKeys() {
    auto k = store.OpenKey(RegistryRoot::LocalMachine, kCatalogue, RegistryAccess::Read);
    return k ? k->SubKeyNames() : std::vector<std::string>{};
  }

  static TKtRegistryTimeZone* Find(TKtRegistryTimeZones& catalogue, const std::string& key) {
    for (int i = 0; i < catalogue.Count(); ++i)
      if (catalogue.Items(i).KeyName() == key) return &catalogue.Items(i);
    return nullptr;
  }

  template <typename F>
  static std::string ErrorOf(F f, const char* className = "Exception") {
    try {
      f();
    } catch (const Exception& e) {
      if (!e.InheritsFrom(className)) return std::string("wrong class ") + e.ClassName();
      return e.Message();
    }
    return "(no error)";
  }
};

TEST(TziTest, PacksTheDocumentedBytesAndUnpacksThemBack) {
  TIME_ZONE_INFORMATION rule{};
  rule.Bias = -60;
  rule.StandardBias = 0;
  rule.DaylightBias = -60;
  rule.StandardDate = {0, 10, 0, 5, 3, 0, 0, 0};
  rule.DaylightDate = {0, 3, 0, 5, 2, 0, 0, 0};
  const TziBytes expected = {0xC4, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x00, 0xC4, 0xFF, 0xFF,
                             0xFF, 0x00, 0x00, 0x0A, 0x00, 0x00, 0x00, 0x05, 0x00, 0x03, 0x00,
                             0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x03, 0x00, 0x00,
                             0x00, 0x05, 0x00, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};
  EXPECT_EQ(PackTimeZoneInfo(rule), expected);

  TIME_ZONE_INFORMATION back{};
  SetZoneNameField(back.StandardName, "kept");
  ASSERT_TRUE(UnpackTimeZoneInfo(expected, back));
  EXPECT_EQ(back.Bias, -60);
  EXPECT_EQ(back.DaylightBias, -60);
  EXPECT_EQ(CompareSystemTimes(back.StandardDate, rule.StandardDate), 0);
  EXPECT_EQ(CompareSystemTimes(back.DaylightDate, rule.DaylightDate), 0);
  EXPECT_EQ(ZoneNameFieldText(back.StandardName), "kept");

  // Every field lands in its own bytes: extreme values survive a round trip.
  TIME_ZONE_INFORMATION odd{};
  odd.Bias = INT32_MIN;
  odd.StandardBias = 0x12345678;
  odd.DaylightBias = -1;
  odd.StandardDate = {65535, 1, 2, 3, 4, 5, 6, 7};
  odd.DaylightDate = {8, 9, 10, 11, 12, 13, 14, 0x8001};
  TIME_ZONE_INFORMATION oddBack{};
  ASSERT_TRUE(UnpackTimeZoneInfo(PackTimeZoneInfo(odd), oddBack));
  EXPECT_TRUE(SameZoneRules(odd, oddBack));
}

TEST(TziTest, UnpackRefusesOtherSizesAndLeavesTheRule) {
  TIME_ZONE_INFORMATION rule = CentralEurope();
  const Bytes shortValue(43, 0xAB), longValue(45, 0xAB);
  EXPECT_FALSE(UnpackTimeZoneInfo(shortValue, rule));
  EXPECT_FALSE(UnpackTimeZoneInfo(longValue, rule));
  EXPECT_FALSE(UnpackTimeZoneInfo({}, rule));
  EXPECT_TRUE(SameZoneRules(rule, CentralEurope()));
}

TEST(TziTest, NameFieldsHoldAtMost31Units) {
  TIME_ZONE_INFORMATION rule{};
  const std::string name31(31, 'x');
  SetZoneNameField(rule.StandardName, name31);
  EXPECT_EQ(ZoneNameFieldText(rule.StandardName), name31);
  EXPECT_EQ(rule.StandardName[31], 0);
  SetZoneNameField(rule.StandardName, std::string(32, 'y'));
  EXPECT_EQ(ZoneNameFieldText(rule.StandardName), "");
}

TEST_F(CatalogueTest, LoadsZonesInEnumerationOrderWithTheirValues) {
  PutZone("Tokyo Standard Time", "(UTC+09:00) Osaka, Sapporo, Tokyo", Tokyo());
  PutZone("W. Europe Standard Time", "(UTC+01:00) Amsterdam, Berlin", CentralEurope());
  PutValue("W. Europe Standard Time", "MapID", RegistryType::String, Text("-1,1"));

  TKtRegistryTimeZones catalogue(store);
  ASSERT_EQ(catalogue.Count(), 2);
  const TKtRegistryTimeZone& tokyo = catalogue.Items(0);
  EXPECT_EQ(tokyo.KeyName(), "Tokyo Standard Time");
  EXPECT_EQ(tokyo.StoredKeyName(), "Tokyo Standard Time");
  EXPECT_EQ(tokyo.DisplayName(), "(UTC+09:00) Osaka, Sapporo, Tokyo");
  EXPECT_TRUE(SameZoneRules(tokyo.Rule(), Tokyo()));
  EXPECT_EQ(tokyo.Owner(), &catalogue);
  EXPECT_TRUE(tokyo.LastSaveOK());
  EXPECT_TRUE(SameZoneRules(catalogue.Items(1).Rule(), CentralEurope()));
  EXPECT_FALSE(catalogue.WriteAccess);
}

TEST_F(CatalogueTest, SkipsZonesWithoutA44ByteTziAndKeepsTheirNeighbours) {
  PutZone("A Zone", "A", Tokyo());
  PutZone("B Short", "B", Tokyo());
  PutValue("B Short", "TZI", RegistryType::Binary, Bytes(43, 0));
  PutZone("C Zone", "C", Tokyo());
  PutZone("D Long", "D", Tokyo());
  PutValue("D Long", "TZI", RegistryType::Binary, Bytes(45, 0));
  PutZone("E Zone", "E", Tokyo());
  PutValue("F NoTzi", "Display", RegistryType::String, Text("F"));

  TKtRegistryTimeZones catalogue(store);
  ASSERT_EQ(catalogue.Count(), 3);
  EXPECT_EQ(catalogue.Items(0).KeyName(), "A Zone");
  EXPECT_EQ(catalogue.Items(1).KeyName(), "C Zone");
  EXPECT_EQ(catalogue.Items(2).KeyName(), "E Zone");
}

TEST_F(CatalogueTest, MissingTextsGiveEmptyTextsAndLongNamesGiveEmptyNames) {
  PutValue("Bare", "TZI", RegistryType::Binary, Tzi(Tokyo()));
  PutZone("Long", "L", Tokyo());
  PutValue("Long", "Std", RegistryType::String, Text(std::string(32, 's')));
  PutValue("Long", "Dlt", RegistryType::String, Text(std::string(31, 'd')));

  TKtRegistryTimeZones catalogue(store);
  ASSERT_EQ(catalogue.Count(), 2);
  const TKtRegistryTimeZone& bare = catalogue.Items(0);
  EXPECT_EQ(bare.DisplayName(), "");
  EXPECT_EQ(ZoneNameFieldText(bare.Rule().StandardName), "");
  EXPECT_EQ(ZoneNameFieldText(bare.Rule().DaylightName), "");
  EXPECT_EQ(bare.Rule().Bias, -540);
  const TKtRegistryTimeZone& longNames = catalogue.Items(1);
  EXPECT_EQ(ZoneNameFieldText(longNames.Rule().StandardName), "");
  EXPECT_EQ(ZoneNameFieldText(longNames.Rule().DaylightName), std::string(31, 'd'));
}

TEST_F(CatalogueTest, ZonesWithAValueOfTheWrongTypeAreSkipped) {
  PutZone("A Zone", "A", Tokyo());
  PutZone("B Std", "B", Tokyo());
  PutValue("B Std", "Std", RegistryType::DWord, {1, 0, 0, 0});
  PutZone("C Tzi", "C", Tokyo());
  PutValue("C Tzi", "TZI", RegistryType::String, Bytes(44, 'x'));
  PutZone("D Display", "D", Tokyo());
  PutValue("D Display", "Display", RegistryType::DWord, {1, 0, 0, 0});
  PutZone("E Zone", "E", Tokyo());

  TKtRegistryTimeZones catalogue(store);
  ASSERT_EQ(catalogue.Count(), 2);
  EXPECT_EQ(catalogue.Items(0).KeyName(), "A Zone");
  EXPECT_EQ(catalogue.Items(1).KeyName(), "E Zone");
  PutValue("B Std", "Std", RegistryType::String, Text("S"));
  catalogue.Reload();
  EXPECT_EQ(catalogue.Count(), 3);
}

TEST_F(CatalogueTest, AMissingCatalogueKeyGivesAnEmptyCatalogue) {
  TKtRegistryTimeZones catalogue(store);
  EXPECT_EQ(catalogue.Count(), 0);
  EXPECT_EQ(ErrorOf([&] { catalogue.Items(0); }, "EListError"), "List index out of bounds (0)");
}

TEST_F(CatalogueTest, ItemsOutsideTheListRaise) {
  PutZone("A", "A", Tokyo());
  PutZone("B", "B", Tokyo());
  TKtRegistryTimeZones catalogue(store);
  EXPECT_EQ(ErrorOf([&] { catalogue.Items(2); }, "EListError"), "List index out of bounds (2)");
  EXPECT_EQ(ErrorOf([&] { catalogue.Items(-1); }, "EListError"), "List index out of bounds (-1)");
  EXPECT_EQ(catalogue.Items(1).KeyName(), "B");
}

TEST_F(CatalogueTest, ChangesWithoutWriteAccessRaiseKeepTheValueAndLeaveTheStore) {
  PutZone("Zone", "Old", Tokyo());
  TKtRegistryTimeZones catalogue(store);
  TKtRegistryTimeZone& zone = catalogue.Items(0);

  EXPECT_EQ(ErrorOf([&] { zone.SetDisplayName("New"); }),
            "TKtRegistryTimeZones: WriteAccess not set.");
  EXPECT_EQ(zone.DisplayName(), "New");
  EXPECT_TRUE(zone.LastSaveOK());
  EXPECT_EQ(Stored("Zone", "Display").data, Text("Old"));

  EXPECT_EQ(ErrorOf([&] { zone.SetKeyName("Renamed"); }),
            "TKtRegistryTimeZones: WriteAccess not set.");
  EXPECT_FALSE(KeyExists("Renamed"));
  EXPECT_TRUE(KeyExists("Zone"));
  EXPECT_EQ(ErrorOf([&] { catalogue.SaveZone(zone); }),
            "TKtRegistryTimeZones: WriteAccess not set.");
  EXPECT_EQ(ErrorOf([&] { catalogue.CheckWriteAccess(); }),
            "TKtRegistryTimeZones: WriteAccess not set.");
}

TEST_F(CatalogueTest, EqualValuesWriteNothingAndNeedNoWriteAccess) {
  PutZone("Zone", "Display", CentralEurope());
  TKtRegistryTimeZones catalogue(store);
  TKtRegistryTimeZone& zone = catalogue.Items(0);
  // Make any write fail loudly, so that a write would show.
  ASSERT_TRUE(store.DenyWriteAccess(RegistryRoot::LocalMachine, ZonePath("Zone")));
  zone.SetDisplayName("Display");
  zone.SetKeyName("Zone");
  zone.SetRule(CentralEurope());
  EXPECT_TRUE(zone.LastSaveOK());
  // A case change is a change for the zone, so it needs write access.
  EXPECT_EQ(ErrorOf([&] { zone.SetDisplayName("display"); }),
            "TKtRegistryTimeZones: WriteAccess not set.");
}

TEST_F(CatalogueTest, WritesEveryValueOfAChangedZone) {
  PutZone("Zone", "Old", CentralEurope());
  PutValue("Zone", "MapID", RegistryType::String, Text("keep me"));
  TKtRegistryTimeZones catalogue(store);
  TKtRegistryTimeZone& zone = catalogue.Items(0);

  TIME_ZONE_INFORMATION edited = zone.Rule();
  edited.DaylightDate.wMonth = 4;
  edited.DaylightDate.wDay = 1;
  SetZoneNameField(edited.DaylightName, "Summer");
  zone.SetWriteAccess(true);
  EXPECT_TRUE(catalogue.WriteAccess);
  zone.SetRule(edited);
  zone.SetWriteAccess(false);
  EXPECT_FALSE(catalogue.WriteAccess);

  EXPECT_TRUE(zone.LastSaveOK());
  EXPECT_EQ(Stored("Zone", "TZI").data, Tzi(edited));
  EXPECT_EQ(Stored("Zone", "TZI").type, RegistryType::Binary);
  EXPECT_EQ(Stored("Zone", "Dlt").data, Text("Summer"));
  EXPECT_EQ(Stored("Zone", "Std").data, Text("W. Europe Standard Time"));
  EXPECT_EQ(Stored("Zone", "Display").data, Text("Old"));
  EXPECT_EQ(Stored("Zone", "MapID").data, Text("keep me"));

  catalogue.Reload();
  EXPECT_TRUE(SameZoneRules(catalogue.Items(0).Rule(), edited));
}

TEST_F(CatalogueTest, RenamingMovesTheKeyWithValuesAndSubkeys) {
  PutZone("Old Name", "Zone", Tokyo());
  PutValue("Old Name\\Dynamic DST", "FirstEntry", RegistryType::DWord, {0xE8, 0x07, 0, 0});
  PutZone("Other", "Other", CentralEurope());
  TKtRegistryTimeZones catalogue(store);
  TKtRegistryTimeZone& zone = *Find(catalogue, "Old Name");

  catalogue.WriteAccess = true;
  zone.SetKeyName("New Name");
  EXPECT_TRUE(zone.LastSaveOK());
  EXPECT_EQ(zone.StoredKeyName(), "New Name");
  EXPECT_FALSE(KeyExists("Old Name"));
  EXPECT_EQ(Stored("New Name", "TZI").data, Tzi(Tokyo()));
  EXPECT_EQ(Stored("New Name\\Dynamic DST", "FirstEntry").data, (Bytes{0xE8, 0x07, 0, 0}));
  EXPECT_EQ(ZoneKeys(), (std::vector<std::string>{"New Name", "Other"}));

  // A later change lands in the new key.
  zone.SetDisplayName("Renamed zone");
  EXPECT_EQ(Stored("New Name", "Display").data, Text("Renamed zone"));
  EXPECT_FALSE(KeyExists("Old Name"));
}

TEST_F(CatalogueTest, RenamingOntoAnExistingKeyKeepsTheOldAndWritesIntoTheNew) {
  PutZone("Source", "Source zone", Tokyo());
  PutZone("Target", "Target zone", CentralEurope());
  PutValue("Target", "MapID", RegistryType::String, Text("target's own"));
  TKtRegistryTimeZones catalogue(store);
  TKtRegistryTimeZone& zone = *Find(catalogue, "Source");

  catalogue.WriteAccess = true;
  zone.SetKeyName("Target");
  EXPECT_TRUE(zone.LastSaveOK());
  EXPECT_EQ(zone.StoredKeyName(), "Target");
  EXPECT_EQ(Stored("Source", "Display").data, Text("Source zone"));
  EXPECT_EQ(Stored("Source", "TZI").data, Tzi(Tokyo()));
  EXPECT_EQ(Stored("Target", "Display").data, Text("Source zone"));
  EXPECT_EQ(Stored("Target", "TZI").data, Tzi(Tokyo()));
  EXPECT_EQ(Stored("Target", "MapID").data, Text("target's own"));
}

TEST_F(CatalogueTest, ACaseOnlyRenameRewritesTheExistingKeyAndRenamesNothing) {
  PutZone("Mixed Case", "Zone", Tokyo());
  TKtRegistryTimeZones catalogue(store);
  TKtRegistryTimeZone& zone = catalogue.Items(0);
  catalogue.WriteAccess = true;
  PutValue("Mixed Case", "Display", RegistryType::String, Text("changed behind its back"));
  zone.SetKeyName("MIXED CASE");
  EXPECT_TRUE(zone.LastSaveOK());
  EXPECT_EQ(zone.KeyName(), "MIXED CASE");
  EXPECT_EQ(ZoneKeys(), (std::vector<std::string>{"Mixed Case"}));
  EXPECT_EQ(Stored("Mixed Case", "Display").data, Text("Zone"));
}

TEST_F(CatalogueTest, AZoneWithoutOwnerNeverTouchesTheStore) {
  TKtRegistryTimeZone zone;
  EXPECT_FALSE(zone.LastSaveOK());
  EXPECT_EQ(zone.Owner(), nullptr);
  zone.SetWriteAccess(true);
  zone.SetKeyName("Free");
  zone.SetDisplayName("Free zone");
  zone.SetRule(Tokyo());
  EXPECT_TRUE(zone.LastSaveOK());
  EXPECT_EQ(zone.KeyName(), "Free");
  EXPECT_EQ(zone.StoredKeyName(), "");
  EXPECT_TRUE(SameZoneRules(zone.Rule(), Tokyo()));
  EXPECT_TRUE(ZoneKeys().empty());
  EXPECT_FALSE(store.OpenKey(RegistryRoot::LocalMachine, "SOFTWARE", RegistryAccess::Read));
}

TEST_F(CatalogueTest, ARefusedWriteRaisesAndKeepsTheValuesWrittenBefore) {
  PutZone("Zone", "Old", Tokyo());
  TKtRegistryTimeZones catalogue(store);
  TKtRegistryTimeZone& zone = catalogue.Items(0);
  ASSERT_TRUE(store.RefuseValueWrites(RegistryRoot::LocalMachine, ZonePath("Zone"), "TZI"));
  catalogue.WriteAccess = true;

  TIME_ZONE_INFORMATION edited = CentralEurope();
  EXPECT_EQ(ErrorOf([&] { zone.SetRule(edited); }, "ERegistryException"),
            "Failed to set data for 'TZI'");
  EXPECT_TRUE(zone.LastSaveOK());
  EXPECT_TRUE(SameZoneRules(zone.Rule(), edited));
  EXPECT_EQ(Stored("Zone", "Std").data, Text("W. Europe Standard Time"));
  EXPECT_EQ(Stored("Zone", "Dlt").data, Text("W. Europe Daylight Time"));
  EXPECT_EQ(Stored("Zone", "TZI").data, Tzi(Tokyo()));
}

TEST_F(CatalogueTest, AKeyThatCannotBeOpenedForWritingGivesFalseWithoutError) {
  PutZone("Zone", "Old", Tokyo());
  TKtRegistryTimeZones catalogue(store);
  TKtRegistryTimeZone& zone = catalogue.Items(0);
  ASSERT_TRUE(store.DenyWriteAccess(RegistryRoot::LocalMachine, ZonePath("Zone")));
  catalogue.WriteAccess = true;

  zone.SetDisplayName("New");
  EXPECT_FALSE(zone.LastSaveOK());
  EXPECT_EQ(zone.DisplayName(), "New");
  EXPECT_EQ(Stored("Zone", "Display").data, Text("Old"));
  EXPECT_FALSE(catalogue.SaveZone(zone));

  // The next change that is saved makes LastSaveOK true again.
  ASSERT_TRUE(store.DenyWriteAccess(RegistryRoot::LocalMachine, ZonePath("Zone"), false));
  zone.SetDisplayName("Newer");
  EXPECT_TRUE(zone.LastSaveOK());
  EXPECT_EQ(Stored("Zone", "Display").data, Text("Newer"));
}

TEST_F(CatalogueTest, KeyNamesThatNameNoZoneKeyAreNotSaved) {
  PutZone("Zone", "Z", Tokyo());
  PutZone("Other", "O", CentralEurope());
  TKtRegistryTimeZones catalogue(store);
  TKtRegistryTimeZone& zone = *Find(catalogue, "Zone");
  catalogue.WriteAccess = true;

  zone.SetKeyName("");
  EXPECT_FALSE(zone.LastSaveOK());
  zone.SetKeyName("Nested\\Key");
  EXPECT_FALSE(zone.LastSaveOK());
  EXPECT_EQ(zone.StoredKeyName(), "Zone");
  EXPECT_EQ(ZoneKeys(), (std::vector<std::string>{"Other", "Zone"}));
  RegistryValue onCatalogue;
  auto key = store.OpenKey(RegistryRoot::LocalMachine, kCatalogue, RegistryAccess::Read);
  ASSERT_TRUE(key);
  EXPECT_FALSE(key->QueryValue("TZI", onCatalogue));

  // Given a proper name again, the zone moves from where it is really stored.
  zone.SetKeyName("Fixed");
  EXPECT_TRUE(zone.LastSaveOK());
  EXPECT_EQ(ZoneKeys(), (std::vector<std::string>{"Fixed", "Other"}));
}

TEST_F(CatalogueTest, AFreeZoneGivenAnOwnerIsSavedUnderItsNameWithoutMovingAnything) {
  PutZone("Existing", "E", CentralEurope());
  TKtRegistryTimeZones catalogue(store);
  catalogue.WriteAccess = true;
  TKtRegistryTimeZone zone;
  zone.SetRule(Tokyo());
  zone.SetOwner(&catalogue);
  zone.SetKeyName("Added");
  EXPECT_TRUE(zone.LastSaveOK());
  EXPECT_EQ(ZoneKeys(), (std::vector<std::string>{"Added", "Existing"}));
  EXPECT_EQ(Stored("Added", "TZI").data, Tzi(Tokyo()));
  catalogue.Reload();
  EXPECT_EQ(catalogue.Count(), 2);
}

TEST_F(CatalogueTest, UsesTheScopedDefaultBackendWhenNoneIsGiven) {
  PutZone("Zone", "Z", Tokyo());
  ScopedRegistryBackend scope(store);
  TKtRegistryTimeZones catalogue;
  ASSERT_EQ(catalogue.Count(), 1);
  EXPECT_EQ(catalogue.Items(0).DisplayName(), "Z");
}

}  // namespace
