#include <gtest/gtest.h>

#include "platform/SpinValue.h"

namespace {

TEST(SpinValue, ValuesAreBroughtIntoTheRange) {
  EXPECT_EQ(ClampSpinValue(500, 0, 999), 500);
  EXPECT_EQ(ClampSpinValue(1000, 0, 999), 999);
  EXPECT_EQ(ClampSpinValue(-1, 0, 999), 0);
  EXPECT_EQ(ClampSpinValue(0, 1, 12), 1);
  EXPECT_EQ(ClampSpinValue(13, 1, 12), 12);
  EXPECT_EQ(ClampSpinValue(12, 1, 12), 12);
}

TEST(SpinValue, AnEmptyRangeDoesNotLimitAndAReversedOneIsSwapped) {
  EXPECT_EQ(ClampSpinValue(-70000, 0, 0), -70000);
  EXPECT_EQ(ClampSpinValue(70000, 5, 5), 70000);
  EXPECT_EQ(ClampSpinValue(20, 12, 1), 12);
  EXPECT_EQ(ClampSpinValue(-3, 12, 1), 1);
}

TEST(SpinValue, NumbersAreRead) {
  EXPECT_EQ(SpinTextToInt("42"), 42);
  EXPECT_EQ(SpinTextToInt("  7 "), 7);
  EXPECT_EQ(SpinTextToInt("-3"), -3);
  EXPECT_EQ(SpinTextToInt("+5"), 5);
  EXPECT_EQ(SpinTextToInt("007"), 7);
  EXPECT_EQ(SpinTextToInt("$1F"), 31);
  EXPECT_EQ(SpinTextToInt("-$10"), -16);
  EXPECT_EQ(SpinTextToInt("2147483647"), 2147483647);
  EXPECT_EQ(SpinTextToInt("-2147483648"), -2147483647 - 1);
}

TEST(SpinValue, TextThatIsNotANumberReadsAsZero) {
  for (const char* text : {"", " ", "abc", "12a", "1 2", "-", "+", "$", "$G", "1.5", "0x10",
                           "2147483648", "-2147483649", "99999999999999999999"})
    EXPECT_EQ(SpinTextToInt(text), 0) << '"' << text << '"';
}

}  // namespace
