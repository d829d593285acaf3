#include "delivery/mail/EBase64.h"

#include <gtest/gtest.h>

TEST(Base64, Rfc4648VectorsBothWays) {
  const std::pair<const char*, const char*> vectors[] = {
      {"", ""},         {"f", "Zg=="},         {"fo", "Zm8="},       {"foo", "Zm9v"},
      {"foob", "Zm9vYg=="}, {"fooba", "Zm9vYmE="}, {"foobar", "Zm9vYmFy"}};
  for (const auto& [plain, encoded] : vectors) {
    EXPECT_EQ(Base64Encode(plain), encoded);
    EXPECT_EQ(Base64Decode(encoded), plain);
  }
}

TEST(Base64, AllByteValuesRoundTripThroughTheBufferForms) {
  std::string bytes;
  for (int i = 0; i < 256; ++i) bytes += static_cast<char>(i);
  const std::string encoded = Base64Encode(bytes.data(), bytes.size());
  EXPECT_EQ(encoded.size(), 344u);
  EXPECT_EQ(encoded.substr(0, 8), "AAECAwQF");
  EXPECT_EQ(encoded.substr(encoded.size() - 8), "/P3+/w==");
  EXPECT_EQ(Base64Decode(encoded.data(), encoded.size()), bytes);
}

TEST(Base64, DecodeRules) {
  // Lengths that are not a multiple of four decode to nothing.
  EXPECT_EQ(Base64Decode("Zm9"), "");
  EXPECT_EQ(Base64Decode("Zm9vY"), "");
  // A group with a character outside the alphabet keeps the "." the output starts with; the
  // groups around it decode.
  EXPECT_EQ(Base64Decode("Zm9v*m9vZm9v"), "foo...foo");
  EXPECT_EQ(Base64Decode("Zm=vYmFy"), "...bar");
  // Only the last two "=" count as padding; more leave dots.
  EXPECT_EQ(Base64Decode("===="), ".");
  EXPECT_EQ(Base64Decode("Zg=="), "f");
}
