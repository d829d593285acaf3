// The tester window driven as a user would: clicks on the list and buttons, values typed into
// the pickers and the beat field; what it shows is read back from the controls themselves.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>

#include "platform/MemoryRegistry.h"
#include "platform/gui/ApplicationWin32.h"
#include "tester/TesterText.h"
#include "tester/testUTC1.h"
#include "tests/platform/gui/GuiTestUtilWin32.h"
#include "tests/platform/gui/WindowShotWin32.h"
#include "tests/tester/TesterDriverWin32.h"
#include "tests/tz/FakeTimeServices.h"
#include "tests/tz/ZoneRules.h"
#include "tz/KtTimezone.h"
#include "tz/KtTimezoneRegistry.h"

namespace {

TDateTime At(int y, int m, int d, int h = 0, int n = 0, int s = 0) {
  return EncodeDateTime(y, m, d, h, n, s, 0);
}

// The real catalogue's rule of a zone.
TIME_ZONE_INFORMATION CatalogueRule(const std::string& keyName) {
  TKtRegistryTimeZones zones;
  for (int i = 0; i < zones.Count(); ++i)
    if (zones.Items(i).KeyName() == keyName) return zones.Items(i).Rule();
  ADD_FAILURE() << "no zone " << keyName;
  return {};
}

// A machine in Central Europe whose clocks read the given UTC instant.
class CentralEuropeClock {
 public:
  explicit CentralEuropeClock(TDateTime utc) {
    fake.zone = CatalogueRule("Central Europe Standard Time");
    Set(utc);
  }
  void Set(TDateTime utc) {
    fake.SetUtc(utc);
    const ZoneOffset offset = ZoneOffsetAtUTC(fake.zone, utc);
    fake.local = DateTimeToSystemTime(utc - offset.minutes / MinsPerDay);
    fake.answer = offset.daylight ? TIME_ZONE_ID_DAYLIGHT : TIME_ZONE_ID_STANDARD;
  }
  FakeTimeServices fake;
  ScopedTimeServices scope{fake};
};

TEST(TesterWindow, ListsEveryZoneWestToEastWithItsCaptionAndOffsets) {
  CentralEuropeClock clock(At(2024, 1, 15, 12));
  TesterDriver t;
  TKtRegistryTimeZones zones;
  ASSERT_EQ(t.RowCount(), zones.Count());
  ASSERT_GT(t.RowCount(), 100);
  int previousOffset = -100000;
  for (int row = 0; row < t.RowCount(); ++row) {
    const TKtRegistryTimeZone& zone = t.ZoneOfRow(row);
    const int offset = -zone.Rule().Bias;
    ASSERT_GE(offset, previousOffset) << "row " << row;
    previousOffset = offset;
    ASSERT_EQ(t.Cell(row, 0), GmtCaption(zone.Rule().Bias));
    ASSERT_EQ(t.Cell(row, 1), zone.KeyName());
  }
  const int berlin = t.RowOf("W. Europe Standard Time");
  EXPECT_EQ(t.Cell(berlin, 0), "+01:00");
  EXPECT_EQ(t.Cell(berlin, 3), "-60");
  EXPECT_EQ(t.Cell(berlin, 4), "-120");
  EXPECT_EQ(t.Cell(t.RowOf("Tokyo Standard Time"), 4), "-540");
  EXPECT_EQ(t.Cell(t.RowOf("UTC"), 0), "");
  EXPECT_EQ(t.Cell(t.RowOf("Nepal Standard Time"), 0), "+05:45");
  EXPECT_EQ(t.Cell(berlin, 6), "2024.01.15 13:00");
}

TEST(TesterWindow, DaylightColumnInBothHemispheres) {
  {
    CentralEuropeClock clock(At(2024, 1, 15, 12));
    TesterDriver t;
    EXPECT_EQ(t.Cell(t.RowOf("AUS Eastern Standard Time"), 5), "Y");
    EXPECT_EQ(t.Cell(t.RowOf("W. Europe Standard Time"), 5), "N");
    EXPECT_EQ(t.Cell(t.RowOf("Tokyo Standard Time"), 5), "N");
  }
  CentralEuropeClock clock(At(2024, 6, 15, 12));
  TesterDriver t;
  EXPECT_EQ(t.Cell(t.RowOf("AUS Eastern Standard Time"), 5), "N");
  EXPECT_EQ(t.Cell(t.RowOf("W. Europe Standard Time"), 5), "Y");
}

// The machine's own zone, as Wine reports it for the TZ the test runs under.
TEST(TesterWindow, MarksAndSelectsTheHomeZone) {
  const char* expected = std::getenv("DM_EXPECT_HOME");
  if (!expected) GTEST_SKIP() << "runs under a TZ set by the test registration";
  TesterDriver t;
  const int home = t.RowOf(expected);
  EXPECT_EQ(t.Cell(home, 2), "H");
  EXPECT_EQ(t.SelectedRow(), home);
  for (int row = 0; row < home; ++row) EXPECT_EQ(t.Cell(row, 2), "") << row;
  EXPECT_EQ(HomeIndex, home);
  EXPECT_EQ(WindowText(t.form->StaticText1->Handle()), " " + t.ZoneOfRow(home).DisplayName() + " ");
}

TEST(TesterWindow, WithoutACatalogueZoneOfTheSystemRuleTheLocalRowIsHome) {
  if (!std::getenv("DM_EXPECT_LOCAL_ROW")) GTEST_SKIP() << "runs under a TZ set by the test registration";
  TesterDriver t;
  ASSERT_NE(t.form->LocalZone, nullptr);
  const int home = t.SelectedRow();
  ASSERT_GE(home, 0);
  EXPECT_EQ(&t.ZoneOfRow(home), t.form->LocalZone.get());
  EXPECT_EQ(t.Cell(home, 2), "H");
  EXPECT_EQ(t.Cell(home, 1), "Local time");  // Wine gives the rule no names
  t.Click(t.form->btnLocNow);
  SYSTEMTIME local;
  GetLocalTime(AsWin32(&local));
  const TDateTime shown = t.Picker(t.form->dateLocal, t.form->timeLocal);
  EXPECT_LT(std::fabs(shown - SystemTimeToDateTime(local)) * MinsPerDay, 1.0)
      << "the home row shows the machine's local time";
}

TEST(TesterWindow, RuleTextsAndControlsForARelativeRule) {
  CentralEuropeClock clock(At(2024, 7, 1, 12));
  TesterDriver t;
  t.ClickRow(t.RowOf("W. Europe Standard Time"));
  const std::string standard = t.Text(t.form->outStandard);
  EXPECT_NE(standard.find("W. Europe Standard Time, -60 minute bias"), std::string::npos) << standard;
  EXPECT_NE(standard.find("Starts on last Sunday of October at "), std::string::npos) << standard;
  EXPECT_NE(standard.find("This year: "), std::string::npos);
  EXPECT_NE(t.Text(t.form->outDaylight).find("-120 minute bias"), std::string::npos);
  EXPECT_NE(t.Text(t.form->outDaylight).find("Starts on last Sunday of March at "), std::string::npos);
  EXPECT_TRUE(t.Enabled(t.form->StMonth));
  EXPECT_TRUE(t.Enabled(t.form->DaylightSet));
  EXPECT_TRUE(t.Enabled(t.form->btnLocD2S));
  EXPECT_EQ(t.Text(t.form->StMonth), "10");
  EXPECT_EQ(t.Text(t.form->StDay), "5");
  EXPECT_EQ(t.Text(t.form->DlMonth), "3");
  EXPECT_EQ(t.Text(t.form->outUTCBias), "-120");
  EXPECT_EQ(t.Text(t.form->StaticText2), "W. Europe Daylight Time");

  t.ClickRow(t.RowOf("Tokyo Standard Time"));
  EXPECT_EQ(t.Text(t.form->outDaylight), "not used");
  EXPECT_NE(t.Text(t.form->outStandard).find("Tokyo Standard Time, -540 minute bias"), std::string::npos);
  EXPECT_FALSE(t.Enabled(t.form->StMonth));
  EXPECT_FALSE(t.Enabled(t.form->btnLocS2D));
  EXPECT_TRUE(t.Enabled(t.form->btnLocNow));
  EXPECT_EQ(t.Text(t.form->StaticText2), "Tokyo Standard Time");
}

TEST(TesterWindow, SpringGapShowsInvalidLocalTimeAndKeepsTheUtcValues) {
  CentralEuropeClock clock(At(2024, 3, 20, 12));
  TesterDriver t;
  t.ClickRow(t.RowOf("W. Europe Standard Time"));
  t.UserSetsLocal(At(2024, 3, 31, 1, 30));
  EXPECT_EQ(t.Picker(t.form->dateUTC, t.form->timeUTC), At(2024, 3, 31, 0, 30));
  EXPECT_EQ(t.State(), "normal");

  t.UserSetsLocal(At(2024, 3, 31, 2, 30));
  EXPECT_EQ(t.State(), "invalid");
  EXPECT_EQ(t.Text(t.form->outInvalidTime), "Invalid local time");
  EXPECT_EQ(t.Picker(t.form->dateUTC, t.form->timeUTC), At(2024, 3, 31, 0, 30));
  EXPECT_FALSE(t.Visible(t.form->timeSwatch));

  t.UserSetsLocal(At(2024, 3, 31, 3, 15));
  EXPECT_EQ(t.State(), "normal");
  EXPECT_EQ(t.Picker(t.form->dateUTC, t.form->timeUTC), At(2024, 3, 31, 1, 15));
}

TEST(TesterWindow, AmbiguousLocalTimeShowsTheSecondReadingAndUndoesEdits) {
  CentralEuropeClock clock(At(2024, 10, 20, 12));
  TesterDriver t;
  t.ClickRow(t.RowOf("W. Europe Standard Time"));
  t.UserSetsLocal(At(2024, 10, 27, 2, 30));
  EXPECT_EQ(t.State(), "ambiguous");
  EXPECT_EQ(t.Picker(t.form->dateUTC, t.form->timeUTC), At(2024, 10, 27, 1, 30));
  EXPECT_EQ(t.Picker(t.form->dateUTC2, t.form->timeUTC2), At(2024, 10, 27, 0, 30));
  EXPECT_EQ(t.Text(t.form->timeSwatch2), "62");  // 00:30 UTC is 01:30 in the beat zone
  t.UserSetsPicker(t.form->timeUTC2, At(2024, 10, 27, 7, 45));
  EXPECT_EQ(t.Picker(t.form->dateUTC2, t.form->timeUTC2), At(2024, 10, 27, 0, 30));
}

TEST(TesterWindow, EnteringUtcOrBeatsConvertsToLocalTime) {
  CentralEuropeClock clock(At(2024, 7, 1, 12));
  TesterDriver t;
  t.ClickRow(t.RowOf("AUS Eastern Standard Time"));
  t.UserSetsPicker(t.form->timeUTC, At(2024, 7, 1, 2));  // the date picker already shows 1 July
  EXPECT_EQ(t.Picker(t.form->dateLocal, t.form->timeLocal), At(2024, 7, 1, 12));
  EXPECT_EQ(t.Text(t.form->timeSwatch), "125");

  // A UTC instant whose local time is ambiguous keeps the UTC just entered in the first row.
  t.ClickRow(t.RowOf("W. Europe Standard Time"));
  t.UserSetsPicker(t.form->dateUTC, At(2024, 10, 27));
  t.UserSetsPicker(t.form->timeUTC, At(2024, 10, 27, 0, 30));
  EXPECT_EQ(t.State(), "ambiguous");
  EXPECT_EQ(t.Picker(t.form->dateUTC, t.form->timeUTC), At(2024, 10, 27, 0, 30));
  EXPECT_EQ(t.Picker(t.form->dateUTC2, t.form->timeUTC2), At(2024, 10, 27, 1, 30));

  t.UserSetsPicker(t.form->dateSwatch, At(2024, 1, 1));
  t.UserTypes(t.form->timeSwatch, "500");
  EXPECT_EQ(t.Picker(t.form->dateUTC, t.form->timeUTC), At(2024, 1, 1, 11));
  EXPECT_EQ(t.Picker(t.form->dateLocal, t.form->timeLocal), At(2024, 1, 1, 12));
  t.UserTypes(t.form->timeSwatch, "abc");  // not a number: 0 beats
  EXPECT_EQ(t.Picker(t.form->dateUTC, t.form->timeUTC), At(2023, 12, 31, 23));
}

TEST(TesterWindow, NowShowsTheTrueInstantAlsoInTheRepeatedHour) {
  // 00:40 UTC on 27 October 2024: the machine's clock shows 02:40 for the first time.
  CentralEuropeClock clock(At(2024, 10, 27, 0, 40));
  TesterDriver t;
  t.ClickRow(t.RowOf("Central Europe Standard Time"));
  t.Click(t.form->btnLocNow);
  EXPECT_EQ(t.Picker(t.form->dateLocal, t.form->timeLocal), At(2024, 10, 27, 2, 40));
  EXPECT_EQ(t.Picker(t.form->dateUTC, t.form->timeUTC), At(2024, 10, 27, 0, 40));
  EXPECT_EQ(t.Picker(t.form->dateUTC2, t.form->timeUTC2), At(2024, 10, 27, 1, 40));
  EXPECT_EQ(t.State(), "ambiguous");
  // An hour later the wall clock shows 02:40 again, and now the later reading is the true one.
  clock.Set(At(2024, 10, 27, 1, 40));
  t.Click(t.form->btnLocNow);
  EXPECT_EQ(t.Picker(t.form->dateUTC, t.form->timeUTC), At(2024, 10, 27, 1, 40));
  EXPECT_EQ(t.Picker(t.form->dateUTC2, t.form->timeUTC2), At(2024, 10, 27, 0, 40));
  // Another zone shows the same instant in its own time.
  t.ClickRow(t.RowOf("Tokyo Standard Time"));
  t.Click(t.form->btnLocNow);
  EXPECT_EQ(t.Picker(t.form->dateLocal, t.form->timeLocal), At(2024, 10, 27, 10, 40));
  EXPECT_EQ(t.State(), "normal");
}

TEST(TesterWindow, TransitionButtons) {
  CentralEuropeClock clock(At(2024, 7, 1, 12));
  TesterDriver t;
  t.ClickRow(t.RowOf("W. Europe Standard Time"));
  t.Click(t.form->btnLocD2S);
  EXPECT_EQ(t.Picker(t.form->dateLocal, t.form->timeLocal), At(2024, 10, 27, 4));
  t.Click(t.form->btnLocS2D);
  EXPECT_EQ(t.Picker(t.form->dateLocal, t.form->timeLocal), At(2024, 3, 31, 2));
  EXPECT_EQ(t.State(), "invalid");
}

TEST(TesterWindow, DateTimeAndDaylightColumnsFollowATransitionWhileRunning) {
  CentralEuropeClock clock(At(2024, 10, 27, 0, 30));
  TesterDriver t;
  const int berlin = t.RowOf("W. Europe Standard Time");
  const int sydney = t.RowOf("AUS Eastern Standard Time");
  EXPECT_EQ(t.Cell(berlin, 5), "Y");
  EXPECT_EQ(t.Cell(berlin, 6), "2024.10.27 02:30");
  clock.Set(At(2024, 10, 27, 1, 30));
  t.Click(t.form->btnLocNow);  // what the clock's tick does
  EXPECT_EQ(t.Cell(berlin, 5), "N");
  EXPECT_EQ(t.Cell(berlin, 6), "2024.10.27 02:30");
  EXPECT_EQ(t.Cell(sydney, 6), "2024.10.27 12:30");
  clock.Set(At(2025, 4, 5, 16, 30));  // Sydney's own change back, the program still running
  t.Click(t.form->btnLocNow);
  EXPECT_EQ(t.Cell(sydney, 5), "N");
  EXPECT_EQ(t.Cell(sydney, 6), "2025.04.06 02:30");
}

// Catalogues the tester must live with that the real one never has.
class OddCatalogue : public ::testing::Test {
 protected:
  void Add(const std::string& keyName, const TIME_ZONE_INFORMATION& rule) {
    TBetterRegistry registry(store);
    registry.SetRootKey(RegistryRoot::LocalMachine);
    ASSERT_TRUE(registry.OpenKey(TimeZonesRegistryPath() + "\\" + keyName, true));
    registry.WriteTimeZoneInfo("(test) " + keyName, rule);
  }
  CentralEuropeClock clock{At(2024, 7, 1, 12)};  // reads its zone from the real catalogue
  MemoryRegistry store;
  ScopedRegistryBackend useStore{store};
};

TEST_F(OddCatalogue, WithoutTheSystemRuleARowOfItIsTheHome) {
  {
    TesterDriver t;  // no catalogue at all
    ASSERT_EQ(t.RowCount(), 1);
    EXPECT_EQ(t.Cell(0, 1), "Central Europe Standard Time");
    EXPECT_EQ(t.Cell(0, 2), "H");
    EXPECT_EQ(t.SelectedRow(), 0);
    t.Click(t.form->btnLocNow);
    EXPECT_EQ(t.Picker(t.form->dateLocal, t.form->timeLocal), At(2024, 7, 1, 14));
  }
  Add("A", Tokyo());
  Add("B", Sydney());
  TesterDriver t;
  ASSERT_EQ(t.RowCount(), 3);
  const int home = t.RowOf("Central Europe Standard Time");
  EXPECT_EQ(t.SelectedRow(), home);
  EXPECT_EQ(HomeIndex, home);
  t.Click(t.form->btnLocNow);
  EXPECT_EQ(t.Picker(t.form->dateLocal, t.form->timeLocal), At(2024, 7, 1, 14));
  EXPECT_EQ(t.Cell(t.RowOf("B"), 6), "2024.07.01 22:00");
}

TEST_F(OddCatalogue, AHostileBiasCostsOnlyItsOwnRow) {
  TIME_ZONE_INFORMATION extreme = Tokyo();
  extreme.Bias = 0x7fffffff;
  Add("Extreme", extreme);
  Add("Tokyo", Tokyo());
  TesterDriver t;
  EXPECT_EQ(t.Cell(t.RowOf("Extreme"), 6), kOutOfRangeText);
  EXPECT_EQ(t.Cell(t.RowOf("Tokyo"), 6), "2024.07.01 21:00");
  t.Click(t.form->btnLocNow);
  EXPECT_EQ(t.Cell(t.RowOf("Tokyo"), 6), "2024.07.01 21:00");
  t.ClickRow(t.RowOf("Extreme"));
  t.Click(t.form->btnLocNow);
  EXPECT_EQ(t.State(), "invalid");
  t.ClickRow(t.RowOf("Tokyo"));
  t.Click(t.form->btnLocNow);
  EXPECT_EQ(t.State(), "normal");
  EXPECT_EQ(t.Picker(t.form->dateLocal, t.form->timeLocal), At(2024, 7, 1, 21));
}

TEST_F(OddCatalogue, AShownTesterFollowsTheKeyboard) {
  Add("A", Tokyo());
  Add("B", Sydney());
  TesterDriver t;
  t.ClickRow(0);
  const std::string first = WindowText(t.form->StaticText1->Handle());
  SetFocus(t.form->lvTZ->Handle());
  for (UINT key : {VK_END, VK_HOME, VK_DOWN}) {
    SendMessageA(t.form->lvTZ->Handle(), WM_KEYDOWN, key, 0);
    SendMessageA(t.form->lvTZ->Handle(), WM_KEYUP, key, 0xC0000000);
    Pump();
    const int row = t.SelectedRow();
    EXPECT_EQ(WindowText(t.form->StaticText1->Handle()), " " + t.ZoneOfRow(row).DisplayName() + " ")
        << "key " << key;
  }
  EXPECT_EQ(t.SelectedRow(), 1);
  EXPECT_NE(WindowText(t.form->StaticText1->Handle()), first);
}

TEST_F(OddCatalogue, AbsoluteAndOutOfTableRules) {
  TIME_ZONE_INFORMATION absolute = Berlin();
  absolute.DaylightDate = SYSTEMTIME{2024, 3, 0, 31, 2, 0, 0, 0};
  Add("Absolute", absolute);
  TIME_ZONE_INFORMATION odd = Berlin();
  odd.StandardDate.wDay = 7;  // no such week: transition on day 0, as the engine says
  odd.DaylightDate.wDayOfWeek = 9;
  Add("Odd", odd);
  TesterDriver t;
  t.ClickRow(t.RowOf("Absolute"));
  EXPECT_NE(t.Text(t.form->outDaylight).find("Absolute date: "), std::string::npos);
  EXPECT_NE(t.Text(t.form->outStandard).find("Starts on last Sunday of October"), std::string::npos);
  EXPECT_FALSE(t.Enabled(t.form->StMonth));
  EXPECT_FALSE(t.Enabled(t.form->DaylightSet));
  EXPECT_TRUE(t.Enabled(t.form->btnLocS2D));

  t.ClickRow(t.RowOf("Odd"));
  // A weekday past Saturday names no date: the zone counts as one without daylight saving.
  EXPECT_EQ(t.Text(t.form->outDaylight), "not used");
}

TEST_F(OddCatalogue, OutOfTableWeekIsShownByNumber) {
  TIME_ZONE_INFORMATION odd = Berlin();
  odd.StandardDate.wDay = 7;
  Add("Odd", odd);
  TesterDriver t;
  t.ClickRow(t.RowOf("Odd"));
  EXPECT_NE(t.Text(t.form->outStandard).find("Starts on week 7 Sunday of October"), std::string::npos)
      << t.Text(t.form->outStandard);
  EXPECT_EQ(t.Text(t.form->StDay), "5");  // clamped into the field's range
}

TEST_F(OddCatalogue, SetButtonsWriteTheRuleBack) {
  Add("Editable", Berlin());
  TesterDriver t;
  t.ClickRow(t.RowOf("Editable"));
  t.UserTypes(t.form->StMonth, "11");
  t.UserTypes(t.form->StDay, "1");
  t.Click(t.form->StandardSet);
  t.UserTypes(t.form->DlMonth, "4");
  t.Click(t.form->DaylightSet);
  const TIME_ZONE_INFORMATION stored = t.ZoneOfRow(t.RowOf("Editable")).Rule();
  EXPECT_EQ(stored.StandardDate.wMonth, 11);
  EXPECT_EQ(stored.StandardDate.wDay, 1);
  EXPECT_EQ(stored.DaylightDate.wMonth, 4);
  EXPECT_EQ(stored.DaylightDate.wDay, 5);  // as the redisplay after the first Set showed it
  EXPECT_NE(t.Text(t.form->outStandard).find("Starts on 1st Sunday of November"), std::string::npos);
  EXPECT_FALSE(t.form->Zones->WriteAccess);
  // Written through to the store.
  TKtRegistryTimeZones reread(store);
  ASSERT_EQ(reread.Count(), 1);
  EXPECT_EQ(reread.Items(0).Rule().StandardDate.wMonth, 11);
  EXPECT_EQ(reread.Items(0).Rule().DaylightDate.wMonth, 4);
}

}  // namespace

namespace {

// Pictures of the three states of the conversion panel, for people to look at (converted to
// PNG next to the build by the test registration).
TEST(TesterWindow, Screenshots) {
  CentralEuropeClock clock(At(2024, 10, 20, 12));
  TesterDriver t;
  const char* folder = std::getenv("DM_SHOT_DIR");
  const std::string dir = folder ? folder : ".";
  t.ClickRow(t.RowOf("W. Europe Standard Time"));
  t.UserSetsLocal(At(2024, 10, 20, 14, 5));
  ASSERT_EQ(t.State(), "normal");
  EXPECT_TRUE(SaveWindowShot(t.form->Handle(), dir + "/tester-normal.bmp"));
  t.UserSetsLocal(At(2024, 10, 27, 2, 30));
  ASSERT_EQ(t.State(), "ambiguous");
  EXPECT_TRUE(SaveWindowShot(t.form->Handle(), dir + "/tester-ambiguous.bmp"));
  t.UserSetsLocal(At(2024, 3, 31, 2, 30));
  ASSERT_EQ(t.State(), "invalid");
  EXPECT_TRUE(SaveWindowShot(t.form->Handle(), dir + "/tester-invalid.bmp"));
}

}  // namespace

namespace {

// The real catalogue: a zone of the test's own, edited through the Set buttons and removed
// again whatever happens.
TEST(TesterWindow, SetButtonsWriteToTheSystemCatalogue) {
  const std::string keyName = "Dialmoor Tester Test Zone";
  const std::string path = TimeZonesRegistryPath() + "\\" + keyName;
  struct RemoveKey {
    std::string path;
    void Remove() {
      TRegistry registry;
      registry.SetRootKey(RegistryRoot::LocalMachine);
      registry.DeleteKey(path);
    }
    ~RemoveKey() { Remove(); }
  } cleanup{path};
  cleanup.Remove();
  {
    TBetterRegistry registry;
    registry.SetRootKey(RegistryRoot::LocalMachine);
    ASSERT_TRUE(registry.OpenKey(path, true));
    registry.WriteTimeZoneInfo("(UTC+01:00) Test", Berlin());
  }
  CentralEuropeClock clock(At(2024, 7, 1, 12));
  TesterDriver t;
  t.ClickRow(t.RowOf(keyName));
  t.UserTypes(t.form->DlMonth, "4");
  t.UserTypes(t.form->DlDay, "1");
  t.Click(t.form->DaylightSet);

  TBetterRegistry registry;
  registry.SetRootKey(RegistryRoot::LocalMachine);
  ASSERT_TRUE(registry.OpenKeyReadOnly(path));
  std::string display;
  TIME_ZONE_INFORMATION stored{};
  ASSERT_TRUE(registry.ReadTimeZoneInfo(display, stored));
  EXPECT_EQ(stored.DaylightDate.wMonth, 4);
  EXPECT_EQ(stored.DaylightDate.wDay, 1);
  EXPECT_EQ(stored.StandardDate.wMonth, 10);
  EXPECT_EQ(display, "(UTC+01:00) Test");
  EXPECT_NE(t.Text(t.form->outDaylight).find("Starts on 1st Sunday of April"), std::string::npos);
}

}  // namespace
