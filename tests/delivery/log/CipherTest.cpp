// MD5, the block cipher in its chaining mode, Base64 and the enciphered call-stack names.
#include <gtest/gtest.h>

#include <cstring>

#include "delivery/log/ECallStackNames.h"
#include "delivery/mail/EBase64.h"
#include "delivery/log/EEncrypt.h"
#include "delivery/log/EMD5.h"

namespace {

TEST(MD5, Rfc1321TestSuite) {
  const std::pair<const char*, const char*> cases[] = {
      {"", "d41d8cd98f00b204e9800998ecf8427e"},
      {"a", "0cc175b9c0f1b6a831c399e269772661"},
      {"abc", "900150983cd24fb0d6963f7d28e17f72"},
      {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
      {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
      {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789",
       "d174ab98d277d9f5a5611c2c9f419d9f"},
      {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
       "57edf4a22be3c955ac49da2e2107b67a"},
  };
  for (const auto& [text, digest] : cases) EXPECT_EQ(MD5Hex(MD5Digest(text)), digest) << text;
}

TEST(MD5, PiecewiseUpdatesGiveTheSameDigest) {
  const std::string text(200, 'x');
  for (std::size_t split : {1u, 55u, 56u, 63u, 64u, 65u, 130u}) {
    TMD5 md5;
    md5.Update(std::string_view(text).substr(0, split));
    md5.Update(std::string_view(text).substr(split));
    EXPECT_EQ(md5.Final(), MD5Digest(text)) << split;
  }
}

TEST(Cipher, KeyIsTheDigestReadBigEndian) {
  // MD5("abc") = 90015098 3cd24fb0 d6963f7d 28e17f72
  const TCipherKey key = CipherKeyFromPassword("abc");
  EXPECT_EQ(key.Words[0], 0x90015098u);
  EXPECT_EQ(key.Words[3], 0x28e17f72u);
}

TEST(Cipher, EveryLengthFromNoneToFortyComesBackWhole) {
  const TCipherKey key = CipherKeyFromPassword("Dialmoor names");
  const TCipherKey other = CipherKeyFromPassword("Dialmoor name");
  const std::string source = "TTimeZoneTester.btnLocNowClick@Unit1.cpp";
  for (std::size_t length = 0; length <= 40; ++length) {
    const std::string text = source.substr(0, length);
    const std::string cipher = EncipherText(key, text);
    ASSERT_EQ(cipher.size(), length);
    EXPECT_EQ(DecipherText(key, cipher), text) << length;
    if (length > 0) {
      EXPECT_NE(cipher, text) << length;
      EXPECT_NE(DecipherText(other, cipher), text) << length;
    }
  }
}

TEST(Cipher, ChainingHidesRepeatedBlocksAndTheFinalPartialBlock) {
  const TCipherKey key = CipherKeyFromPassword("k");
  const std::string cipher = EncipherText(key, std::string(16, 'A') + "AAA");
  EXPECT_NE(cipher.substr(0, 8), cipher.substr(8, 8));
  // The partial block is masked by the encryption of the last full ciphertext block.
  std::uint8_t mask[8];
  std::memcpy(mask, cipher.data() + 8, 8);
  EncipherBlock(key, mask);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(static_cast<std::uint8_t>(cipher[16 + i]), 'A' ^ mask[i]);
  // A text shorter than a block is masked by the encryption of the initial vector.
  std::uint8_t iv[8] = {0x3C, 0x91, 0x07, 0xE2, 0x5D, 0xA8, 0x16, 0xB4};
  EncipherBlock(key, iv);
  EXPECT_EQ(static_cast<std::uint8_t>(EncipherText(key, "Z")[0]), 'Z' ^ iv[0]);
}

TEST(Base64, RoundTripsAndRejectsForeignText) {
  for (const char* text : {"", "f", "fo", "foo", "foob", "fooba", "foobar"}) {
    EXPECT_EQ(DecodeBase64Text(Base64Encode(text)), text);
  }
  EXPECT_EQ(Base64Encode("foobar"), "Zm9vYmFy");
  EXPECT_EQ(Base64Encode("fo"), "Zm8=");
  EXPECT_EQ(DecodeBase64Text("Zm8"), "fo");
  EXPECT_FALSE(DecodeBase64Text("Zm9v!"));
  EXPECT_FALSE(DecodeBase64Text("Z"));
}

TEST(CallStackNames, DecipheredNamesFollowTheRowRules) {
  const TCipherKey key = CipherKeyFromPassword("pw");
  const auto cell = [&](std::string_view name) { return Base64Encode(EncipherText(key, name)); };

  TCallStackNames row = EncipherCallStackNames({"Unit1.cpp", "TClockForm", "Timer1Timer"}, key);
  EXPECT_EQ(row.Unit[0], '?');
  const TCallStackNames names = DecipherCallStackNames(row, key);
  EXPECT_EQ(names.Unit, "Unit1.cpp");
  EXPECT_EQ(names.Class, "TClockForm");
  EXPECT_EQ(names.Procedure, "Timer1Timer");

  // The class from its own cell; the default extension from the language mark; "@" to "_".
  const TCallStackNames pascal =
      DecipherCallStackNames({"?p" + cell("Forms"), "?" + cell("TApplication"), "?" + cell("@Run")}, key);
  EXPECT_EQ(pascal.Unit, "Forms.pas");
  EXPECT_EQ(pascal.Class, "TApplication");
  EXPECT_EQ(pascal.Procedure, "_Run");
  EXPECT_EQ(DecipherCallStackNames({"?x" + cell("Main"), "", "?" + cell("WinMain")}, key).Unit, "Main.cpp");

  // C++ scopes and repository paths are names; a class cell of its own keeps a "." in the
  // procedure.
  const TCallStackNames scoped = DecipherCallStackNames(
      EncipherCallStackNames({"platform/gui/Application.h", "TApplication::Dispatch<...>(...)",
                              "{lambda(...)#1}"},
                             key),
      key);
  EXPECT_EQ(scoped.Unit, "platform/gui/Application.h");
  EXPECT_EQ(scoped.Class, "TApplication::Dispatch<...>(...)");
  EXPECT_EQ(scoped.Procedure, "{lambda(...)#1}");
  // Without a class cell, "Class.Procedure" in the procedure cell.
  const TCallStackNames joined = DecipherCallStackNames({"?c" + cell("Unit1.cpp"), "", "?" + cell("TForm1.Show")}, key);
  EXPECT_EQ(joined.Class, "TForm1");
  EXPECT_EQ(joined.Procedure, "Show");

  // A wrong password, a name with a cell border or a control character, or a plain row: the
  // cells as stored.
  EXPECT_EQ(DecipherCallStackNames(row, CipherKeyFromPassword("wrong")).Unit, row.Unit);
  for (const char* bad : {"a|b", "tab\there", "\xE9t\xE9"}) {
    const TCallStackNames odd{"?c" + cell("Unit1.cpp"), "", "?" + cell(bad)};
    EXPECT_EQ(DecipherCallStackNames(odd, key).Procedure, odd.Procedure) << bad;
  }
  const TCallStackNames plain{"Unit1.cpp", "TClockForm", "Timer1Timer"};
  EXPECT_EQ(DecipherCallStackNames(plain, key).Unit, "Unit1.cpp");
  EXPECT_EQ(DecipherCallStackNames({"?c!!", "", "?" + cell("x")}, key).Unit, "?c!!");
}

}  // namespace
