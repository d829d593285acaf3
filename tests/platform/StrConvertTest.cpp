#include <gtest/gtest.h>

#include "platform/StrConvert.h"
#include "platform/SysUtils.h"

namespace {

TEST(StrConvert, DecimalWithSign) {
  EXPECT_EQ(TryStrToInt("0"), 0);
  EXPECT_EQ(TryStrToInt("20"), 20);
  EXPECT_EQ(TryStrToInt("-5"), -5);
  EXPECT_EQ(TryStrToInt("+7"), 7);
  EXPECT_EQ(TryStrToInt("007"), 7);
  EXPECT_EQ(TryStrToInt("16776960"), 16776960);
}

TEST(StrConvert, DecimalLimitsAndOverflow) {
  EXPECT_EQ(TryStrToInt("2147483647"), 2147483647);
  EXPECT_EQ(TryStrToInt("-2147483648"), INT32_MIN);
  EXPECT_EQ(TryStrToInt("2147483648"), std::nullopt);
  EXPECT_EQ(TryStrToInt("-2147483649"), std::nullopt);
  EXPECT_EQ(TryStrToInt("4294967295"), std::nullopt);
  EXPECT_EQ(TryStrToInt("99999999999999999999999"), std::nullopt);
}

TEST(StrConvert, DollarHexadecimal) {
  EXPECT_EQ(TryStrToInt("$FF"), 255);
  EXPECT_EQ(TryStrToInt("$ff"), 255);
  EXPECT_EQ(TryStrToInt("$FFFF00"), 16776960);
  EXPECT_EQ(TryStrToInt("$7FFFFFFF"), INT32_MAX);
  // All 32 bits: system colours are written this way.
  EXPECT_EQ(TryStrToInt("$8000000F"), -2147483633);
  EXPECT_EQ(TryStrToInt("$FFFFFFFF"), -1);
  EXPECT_EQ(TryStrToInt("$0000000000FF"), 255);
  EXPECT_EQ(TryStrToInt("$100000000"), std::nullopt);
  EXPECT_EQ(TryStrToInt("$"), std::nullopt);
  EXPECT_EQ(TryStrToInt("$G1"), std::nullopt);
  EXPECT_EQ(TryStrToInt("-$10"), std::nullopt);
}

TEST(StrConvert, ZeroXHexadecimalOnlyWhenLongerThanTwo) {
  EXPECT_EQ(TryStrToInt("0x0000FF"), 255);
  EXPECT_EQ(TryStrToInt("0X1a"), 26);
  EXPECT_EQ(TryStrToInt("0x8000000F"), -2147483633);
  EXPECT_EQ(TryStrToInt("0x1"), 1);
  EXPECT_EQ(TryStrToInt("0x"), std::nullopt);
  EXPECT_EQ(TryStrToInt("0X"), std::nullopt);
  EXPECT_EQ(TryStrToInt("0x1FFFFFFFF"), std::nullopt);
  EXPECT_EQ(TryStrToInt("0xZZ"), std::nullopt);
  EXPECT_EQ(TryStrToInt("x10"), std::nullopt);
}

TEST(StrConvert, GarbageIsNotAnInteger) {
  for (const char* text :
       {"", "-", "+", " 5", "5 ", "1.5", "1e3", "abc", "12abc", "--1", "+-1", "\t1"})
    EXPECT_EQ(TryStrToInt(text), std::nullopt) << '"' << text << '"';
  EXPECT_EQ(TryStrToInt(std::string_view("1\0002", 3)), std::nullopt);
}

TEST(StrConvert, DefaultAndRaisingForms) {
  EXPECT_EQ(StrToIntDef("garbage", 20), 20);
  EXPECT_EQ(StrToIntDef("", -3), -3);
  EXPECT_EQ(StrToIntDef("$10", 0), 16);
  EXPECT_EQ(StrToInt("-12"), -12);
  try {
    StrToInt("12x");
    FAIL() << "no error";
  } catch (const EConvertError& error) {
    EXPECT_EQ(error.Message(), "'12x' is not a valid integer value");
  }
}

TEST(StrConvert, IntToStrRoundTrips) {
  for (const std::int32_t value : {0, 1, -1, 255, -2147483633, INT32_MIN, INT32_MAX})
    EXPECT_EQ(StrToInt(IntToStr(value)), value);
  EXPECT_EQ(IntToStr(-5), "-5");
  EXPECT_EQ(IntToStr(16776960), "16776960");
}

TEST(StrConvert, ColoursToPlainRGB) {
  int asked = -1;
  const SystemColorLookup lookup = [&](int index) {
    asked = index;
    return 0xF0F0F0u;
  };
  EXPECT_EQ(ColorToRGBValue(0x0000FF, lookup), 0x0000FF);
  EXPECT_EQ(ColorToRGBValue(0xFFFF00, lookup), 0xFFFF00);
  EXPECT_EQ(asked, -1);
  // The button face, in both the older and the newer form of system colour values.
  EXPECT_EQ(ColorToRGBValue(static_cast<std::int32_t>(0x8000000Fu), lookup), 0xF0F0F0);
  EXPECT_EQ(asked, 15);
  asked = -1;
  EXPECT_EQ(ColorToRGBValue(static_cast<std::int32_t>(0xFF000005u), lookup), 0xF0F0F0);
  EXPECT_EQ(asked, 5);
  EXPECT_TRUE(IsSystemColor(INT32_MIN));
  EXPECT_FALSE(IsSystemColor(0x7FFFFFFF));
  // A lookup that answers with stray high bits still gives a plain RGB value.
  EXPECT_EQ(ColorToRGBValue(-1, [](int) { return 0xFF123456u; }), 0x123456);
}

}  // namespace
