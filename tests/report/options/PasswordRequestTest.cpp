// The short strings of the password exports and the loader's choice between the two exports.
#include <gtest/gtest.h>

#include "report/options/EPasswordRequest.h"

namespace {

void PlainAnswer(std::uint8_t* key, int maxLen) { WriteShortString(key, maxLen, "plain"); }
void ExAnswer(const TOskedaExceptionRecord* record, std::uint8_t* key, int maxLen) {
  // The loader starts from an empty key and asks while no exception is being reported.
  EXPECT_EQ(record, nullptr);
  EXPECT_EQ(ReadShortString(key, maxLen), "");
  WriteShortString(key, maxLen, "ex");
}
// A handler that writes past the limit it was given still gives at most that much.
void LongAnswer(std::uint8_t* key, int) { key[0] = 255; }

TEST(PasswordRequest, ShortStringsKeepTheirLimit) {
  std::uint8_t buffer[PasswordMaxLength + 1] = {};
  WriteShortString(buffer, 4, "secret");
  EXPECT_EQ(buffer[0], 4);
  EXPECT_EQ(ReadShortString(buffer, 255), "secr");
  EXPECT_EQ(ReadShortString(buffer, 2), "se");
  WriteShortString(buffer, 1000, std::string(300, 'k'));
  EXPECT_EQ(buffer[0], 255);
  EXPECT_EQ(ReadShortString(buffer, -1).size(), 255u);
}

TEST(PasswordRequest, TheExFormIsAskedBeforeThePlainOne) {
  EXPECT_EQ(AskPasswordExports(&ExAnswer, &PlainAnswer), "ex");
  EXPECT_EQ(AskPasswordExports(nullptr, &PlainAnswer), "plain");
  EXPECT_EQ(AskPasswordExports(nullptr, nullptr), "");
  EXPECT_EQ(AskPasswordExports(nullptr, &LongAnswer).size(), 255u);
}

}  // namespace
