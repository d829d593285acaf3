#include <gtest/gtest.h>

#include <sstream>

#include "tests/tz/FakeTimeServices.h"
#include "tests/tz/ZoneRules.h"
#include "tools/TzCommands.h"

namespace {

TIME_ZONE_INFORMATION Named(TIME_ZONE_INFORMATION zone, const char16_t* standard,
                            const char16_t* daylight) {
  for (size_t i = 0; standard[i]; ++i) zone.StandardName[i] = standard[i];
  for (size_t i = 0; daylight[i]; ++i) zone.DaylightName[i] = daylight[i];
  return zone;
}

struct Result {
  int code;
  std::string out, err;
};

class TzCommandsTest : public ::testing::Test {
 protected:
  std::vector<TzZone> zones = {
      {"W. Europe Standard Time", "(UTC+01:00) Amsterdam, Berlin",
       Named(Berlin(), u"W. Europe Standard Time", u"W. Europe Daylight Time")},
      {"AUS Eastern Standard Time", "(UTC+10:00) Canberra, Melbourne, Sydney", Sydney()},
      {"Tokyo Standard Time", "(UTC+09:00) Osaka, Sapporo, Tokyo", Tokyo()},
      {"Romance Standard Time", "(UTC+01:00) Brussels, Copenhagen, Madrid, Paris",
       Named(Berlin(), u"W. Europe Standard Time", u"W. Europe Daylight Time")},
  };
  FakeTimeServices clock;
  ScopedTimeServices scope{clock};

  Result Run(std::vector<std::string> args) {
    std::ostringstream out, err;
    const int code = RunTzCommand(args, zones, out, err);
    return {code, out.str(), err.str()};
  }
};

}  // namespace

TEST_F(TzCommandsTest, ListsZonesInCatalogueOrder) {
  const Result r = Run({"list"});
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(r.out,
            "W. Europe Standard Time\t-60\t0\t-60\t(UTC+01:00) Amsterdam, Berlin\n"
            "AUS Eastern Standard Time\t-600\t0\t-60\t(UTC+10:00) Canberra, Melbourne, Sydney\n"
            "Tokyo Standard Time\t-540\t0\t0\t(UTC+09:00) Osaka, Sapporo, Tokyo\n"
            "Romance Standard Time\t-60\t0\t-60\t(UTC+01:00) Brussels, Copenhagen, Madrid, Paris\n");
}

TEST_F(TzCommandsTest, AnswersConversions) {
  EXPECT_EQ(Run({"transitions", "W. Europe Standard Time", "2024"}).out,
            "daylight 2024-03-31T02:00:00.000\nstandard 2024-10-27T03:00:00.000\n");
  EXPECT_EQ(Run({"transitions", "Tokyo Standard Time", "2024"}).out, "none\n");
  EXPECT_EQ(Run({"to-utc", "W. Europe Standard Time", "2024-03-31T02:30"}).out, "invalid\n");
  EXPECT_EQ(Run({"to-utc", "W. Europe Standard Time", "2024-10-27T02:30:00"}).out,
            "2024-10-27T01:30:00.000\n");
  EXPECT_EQ(Run({"to-utc", "W. Europe Standard Time", "2024-10-27T02:30:00.250", "--prefer-daylight"}).out,
            "2024-10-27T00:30:00.250\n");
  EXPECT_EQ(Run({"to-local", "aus eastern standard time", "2024-01-15T01:00"}).out,
            "2024-01-15T12:00:00.000\n");
  EXPECT_EQ(Run({"beats", "2024-01-01T23:30"}).out, "21 2024-01-02\n");
  EXPECT_EQ(Run({"beats", "2024-01-01T22:59:30"}).out, "1000 2024-01-01\n");
  EXPECT_EQ(Run({"from-beats", "500", "2024-01-01"}).out, "2024-01-01T11:00:00.000\n");
  EXPECT_EQ(Run({"from-beats", "0", "2024-01-01"}).out, "2023-12-31T23:00:00.000\n");
}

TEST_F(TzCommandsTest, BiasAndSystemUseTheClockAndZone) {
  clock.SetUtc(EncodeDateTime(2024, 7, 1, 12, 0, 0, 0));
  EXPECT_EQ(Run({"bias", "W. Europe Standard Time"}).out, "-120\n");
  EXPECT_EQ(Run({"bias", "Tokyo Standard Time"}).out, "-540\n");

  clock.zone = zones[0].rule;
  EXPECT_EQ(Run({"system"}).out,
            "Bias -60\nStandardBias 0\nDaylightBias -60\nStandardName W. Europe Standard Time\n"
            "DaylightName W. Europe Daylight Time\n"
            "match W. Europe Standard Time\nmatch Romance Standard Time\n");
  clock.zone = Named(Sydney(), u"Lord Howe", u"Lord Howe DST");
  EXPECT_EQ(Run({"system"}).out.substr(Run({"system"}).out.rfind("match")), "match none\n");
}

TEST_F(TzCommandsTest, RejectsBadArgumentsWithOneLineAndCodeTwo) {
  const std::vector<std::vector<std::string>> bad = {
      {},
      {"frobnicate"},
      {"transitions", "Nowhere Standard Time", "2024"},
      {"transitions", "W. Europe Standard Time"},
      {"transitions", "W. Europe Standard Time", "20x4"},
      {"transitions", "W. Europe Standard Time", "0"},
      {"to-utc", "W. Europe Standard Time", "2024-02-30T10:00"},
      {"to-utc", "W. Europe Standard Time", "2024-01-01T24:00"},
      {"to-utc", "W. Europe Standard Time", "2024-01-01 10:00"},
      {"to-utc", "W. Europe Standard Time", "2024-01-01T10:00:0"},
      {"to-utc", "W. Europe Standard Time", "2024-01-01T10:00:00.5"},
      {"to-utc", "W. Europe Standard Time", "2024-01-01T10:00", "--prefer-standard"},
      {"to-local", "W. Europe Standard Time", "2024-01-01T10:00", "extra"},
      {"beats", "yesterday"},
      {"from-beats", "1001", "2024-01-01"},
      {"from-beats", "-1", "2024-01-01"},
      {"from-beats", "500", "2024-1-1"},
      {"bias"},
  };
  for (const auto& args : bad) {
    const Result r = Run(args);
    EXPECT_EQ(r.code, 2) << (args.empty() ? "(none)" : args[0]);
    EXPECT_TRUE(r.out.empty());
    ASSERT_FALSE(r.err.empty());
    EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << r.err;
  }
  const Result help = Run({"--help"});
  EXPECT_EQ(help.code, 0);
  EXPECT_NE(help.out.find("Usage: DialmoorTz"), std::string::npos);
}

TEST_F(TzCommandsTest, ErrorsSayWhatIsWrong) {
  EXPECT_EQ(Run({"beats", "2024-02-30T10:00"}).err,
            "DialmoorTz: no such date '2024-02-30T10:00' (years 1..9999, months 1..12, days of the month)\n");
  EXPECT_EQ(Run({"beats", "2024-02-28T24:00"}).err,
            "DialmoorTz: no such time '2024-02-28T24:00' (hours 00..23, minutes and seconds 00..59)\n");
  EXPECT_NE(Run({"beats", "2024-02-28 10:00"}).err.find("malformed time"), std::string::npos);
  EXPECT_NE(Run({"from-beats", "1", "2023-02-29"}).err.find("no such date"), std::string::npos);
  // Full-width digits (as UTF-8) are no digits.
  EXPECT_NE(Run({"beats", "\xEF\xBC\x92" "024-01-01T00:00"}).err.find("malformed time"), std::string::npos);

  // Results outside the calendar are errors, never raw day counts.
  for (const auto& args : std::vector<std::vector<std::string>>{
           {"to-utc", "W. Europe Standard Time", "0001-01-01T00:30"},
           {"to-local", "AUS Eastern Standard Time", "9999-12-31T20:00"},
           {"beats", "9999-12-31T23:59:59.999"}}) {
    const Result r = Run(args);
    EXPECT_EQ(r.code, 2) << args[0];
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "DialmoorTz: the result lies outside the years 1..9999\n");
  }
  EXPECT_EQ(Run({"beats", "1800-06-01T12:00"}).out, "542 1800-06-01\n");
  EXPECT_EQ(Run({"beats", "0001-01-01T00:00"}).out, "42 0001-01-01\n");
}

TEST(TzTimeText, ParsesAndFormats) {
  EXPECT_EQ(ParseTzTime("2024-03-31T02:30"), EncodeDateTime(2024, 3, 31, 2, 30, 0, 0));
  EXPECT_EQ(ParseTzTime("2024-03-31T02:30:15.007"), EncodeDateTime(2024, 3, 31, 2, 30, 15, 7));
  EXPECT_FALSE(ParseTzTime("2024-03-31T02:30:15."));
  EXPECT_FALSE(ParseTzTime("2024-03-31T2:30"));
  EXPECT_FALSE(ParseTzTime(""));
  EXPECT_EQ(FormatTzTime(EncodeDateTime(2024, 3, 31, 2, 30, 15, 7)), "2024-03-31T02:30:15.007");
  EXPECT_EQ(FormatTzDate(EncodeDateTime(2024, 3, 31, 2, 30, 15, 7)), "2024-03-31");
}
