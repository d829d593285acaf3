#include <gtest/gtest.h>

#include <cstring>

#include "report/capture/EExportDirectory.h"
#include "report/capture/EMemoryImage.h"

namespace {

constexpr std::uint32_t Base = 0x10000000;
constexpr std::uint32_t Size = 0x2000;

// A loaded library of three exports: Alpha, a forwarder (its code address lies inside the
// export directory) and Gamma.
struct TFakeLibrary {
  std::vector<std::uint8_t> bytes = std::vector<std::uint8_t>(Size, 0);

  TFakeLibrary() {
    Put16(0, 0x5A4D);
    Put32(0x3C, 0x80);
    Put32(0x80, 0x4550);
    Put16(0x98, 0x10B);
    Put32(0x98 + 56, Size);
    Put32(0x98 + 92, 16);
    Put32(0x98 + 96, 0x1000);
    Put32(0x98 + 100, 0x200);
    Put32(0x1014, 3);
    Put32(0x1018, 3);
    Put32(0x101C, 0x1040);
    Put32(0x1020, 0x1050);
    Put32(0x1024, 0x1060);
    const std::uint32_t functions[] = {0x1500, 0x1100, 0x1600};
    const std::uint32_t names[] = {0x1080, 0x1090, 0x10A0};
    for (int i = 0; i < 3; ++i) {
      Put32(0x1040 + 4 * i, functions[i]);
      Put32(0x1050 + 4 * i, names[i]);
      Put16(0x1060 + 2 * i, static_cast<std::uint16_t>(i));
    }
    PutText(0x1080, "Alpha");
    PutText(0x1090, "Forwarded");
    PutText(0x10A0, "Gamma");
  }
  void Put16(std::uint32_t at, std::uint16_t v) { std::memcpy(&bytes[at], &v, 2); }
  void Put32(std::uint32_t at, std::uint32_t v) { std::memcpy(&bytes[at], &v, 4); }
  void PutText(std::uint32_t at, const char* text) {
    std::memcpy(&bytes[at], text, std::strlen(text) + 1);
  }
  std::vector<TNamedOffset> Read(std::uint32_t unreadableFrom = Size) const {
    TMemoryImage memory;
    memory.AddRegion(Base, {bytes.begin(), bytes.begin() + unreadableFrom});
    if (unreadableFrom < Size)
      memory.AddRegion(Base + unreadableFrom, {bytes.begin() + unreadableFrom, bytes.end()}, false);
    return ReadExportNames(memory, Base, Size);
  }
};

std::vector<std::string> Names(const std::vector<TNamedOffset>& exports) {
  std::vector<std::string> names;
  for (const TNamedOffset& e : exports) names.push_back(e.Name);
  return names;
}

}  // namespace

TEST(ExportDirectory, NamedCodeWithoutForwarders) {
  const std::vector<TNamedOffset> exports = TFakeLibrary().Read();
  ASSERT_EQ(exports.size(), 2u);
  EXPECT_EQ(exports[0].Offset, 0x1500u);
  EXPECT_EQ(exports[0].Name, "Alpha");
  EXPECT_EQ(exports[1].Offset, 0x1600u);
  EXPECT_EQ(exports[1].Name, "Gamma");
}

TEST(ExportDirectory, DamagedTablesGiveFewerNamesNeverAFault) {
  TFakeLibrary library;
  library.Put32(0x1058, 0x7FFFFFF0);  // Gamma's name outside the image
  library.Put16(0x1060, 9);           // Alpha's ordinal beyond the functions
  EXPECT_TRUE(library.Read().empty());

  TFakeLibrary unterminated;
  std::memset(&unterminated.bytes[0x1FF0], 'x', 0x10);
  unterminated.Put32(0x1050, 0x1FF0);  // Alpha's name runs to the end of the image
  EXPECT_EQ(Names(unterminated.Read()), std::vector<std::string>{"Gamma"});

  TFakeLibrary huge;
  huge.Put32(0x1018, 0x40000000);  // a name count no table of the image can hold
  EXPECT_TRUE(huge.Read().empty());

  TFakeLibrary outside;
  outside.Put32(0x98 + 96, Size - 8);  // the directory runs past the image
  EXPECT_TRUE(outside.Read().empty());

  TFakeLibrary notPe;
  notPe.Put32(0x80, 0);
  EXPECT_TRUE(notPe.Read().empty());

  // The names' page cannot be read: the tables are, the names are not.
  EXPECT_TRUE(TFakeLibrary().Read(0x1080).empty());
  EXPECT_TRUE(TFakeLibrary().Read(0x1000).empty());
}
