// The configuration container: what the build writes reads back whole, and every damaged,
// truncated, foreign or hostile container is refused with a read error.
#include <gtest/gtest.h>

#include <cstring>

#include "report/options/EConfigContainer.h"
#include "report/options/EOptionsLegacy.h"
#include "report/options/EOptionsStream.h"
#include "report/options/EZlibBlock.h"
#include "tests/report/options/OptionsTestSupport.h"

namespace {

std::vector<std::uint8_t> OptionsStreamOf(const TOskedaStoredOptions& options) {
  TMemoryStream stream;
  SaveStoredOptions(stream, options);
  return stream.Bytes();
}

TOskedaStoredOptions SomeOptions() {
  TOskedaStoredOptions options;
  options.MailSubject = "Clock failure";
  options.LogCapacity = 7;
  options.FilteredClasses.Assign({"EAbort", "EConvertError"});
  options.FilteredMessages.Assign({"", "Bad value."});
  return options;
}

TDebugInfo SomeDebugInfo() {
  TDebugInfo info;
  const TDebugLine tick[] = {{0x1000, 10}, {0x1008, 11}, {0x1010, 13}};
  info.AddProcedure(0x1000, 0x20, "app/Clock.cpp", "TClock", "Tick", tick);
  const TDebugLine run[] = {{0x1040, 30}};
  info.AddProcedure(0x1040, 0x10, "app/Clock.cpp", "", "Run", run);
  return info;
}

std::vector<std::uint8_t> SomeBlock(const std::string& key = {}, bool withDebugInfo = true) {
  const TDebugInfo info = SomeDebugInfo();
  const TConfigDirectoryEntry directory[] = {{csHandleException, 0x1000, 0x20}};
  return BuildConfigBlock(46000.25, directory, OptionsStreamOf(SomeOptions()),
                          withDebugInfo ? &info : nullptr, key);
}

void PutU32At(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

TEST(ConfigContainer, ResourceAndAppendedBlockReadBackWhole) {
  const auto block = SomeBlock();
  const auto resource = ConfigResourceFromBlock(block);
  std::vector<std::uint8_t> file(300, 0x90);  // stands for the module image before the block
  const auto trailer = ConfigTrailerFromBlock(block);
  file.insert(file.end(), trailer.begin(), trailer.end());

  for (const TConfigContainer& container :
       {ReadConfigResource(resource), ReadConfigBlock(FindAppendedConfigBlock(file))}) {
    EXPECT_EQ(container.Version, OskedaConfigVersion);
    EXPECT_EQ(container.BuildDate, 46000.25);
    ASSERT_EQ(container.Directory.size(), 1u);
    EXPECT_EQ(container.Directory[0], (TConfigDirectoryEntry{csHandleException, 0x1000, 0x20}));
    EXPECT_NE(container.FindSymbol(csHandleException), nullptr);
    EXPECT_EQ(container.FindSymbol(csShowException), nullptr);
    EXPECT_TRUE(container.Options == SomeOptions());
    EXPECT_EQ(container.OptionsStream, OptionsStreamOf(SomeOptions()));
    ASSERT_TRUE(container.DebugInfo.has_value());
    EXPECT_EQ(container.DebugInfo->Lookup(0x1009).Line, 11u);
    EXPECT_GT(container.DebugInfoStoredSize, 4u);
  }
}

TEST(ConfigContainer, WithoutDebugInformationOrWithItDisabled) {
  const TConfigContainer bare = ReadConfigBlock(SomeBlock({}, false));
  EXPECT_FALSE(bare.DebugInfoStored);
  EXPECT_FALSE(bare.DebugInfo.has_value());
  EXPECT_TRUE(bare.Options == SomeOptions());

  TConfigReadSettings settings;
  settings.LoadDebugInfo = false;
  const TConfigContainer skipped = ReadConfigBlock(SomeBlock(), settings);
  EXPECT_TRUE(skipped.DebugInfoStored);
  EXPECT_FALSE(skipped.DebugInfo.has_value());
  EXPECT_TRUE(skipped.Options == SomeOptions());
}

TEST(ConfigContainer, EncipheredNamesNeedTheRightKey) {
  const auto block = SomeBlock("s3cret");
  TConfigReadSettings settings;
  settings.RequestKey = [] { return std::string("s3cret"); };
  const TConfigContainer opened = ReadConfigBlock(block, settings);
  ASSERT_TRUE(opened.DebugInfo.has_value());
  EXPECT_EQ(opened.DebugInfo->Lookup(0x1000).Procedure, "Tick");
  EXPECT_EQ(opened.DebugInfo->Lookup(0x1000).Unit, "app/Clock.cpp");

  // The names are not readable in the stored bytes.
  const std::string stored(block.begin(), block.end());
  EXPECT_EQ(stored.find("Tick"), std::string::npos);

  // A wrong or missing key leaves the names enciphered, the lines and the options usable.
  settings.RequestKey = [] { return std::string("guess"); };
  const TConfigContainer wrong = ReadConfigBlock(block, settings);
  ASSERT_TRUE(wrong.DebugInfo.has_value());
  EXPECT_TRUE(wrong.DebugInfo->NamesEnciphered());
  EXPECT_TRUE(wrong.DebugInfo->Lookup(0x1000).Unit.starts_with("?c"));
  EXPECT_EQ(wrong.DebugInfo->Lookup(0x1009).Line, 11u);
  EXPECT_TRUE(wrong.Options == SomeOptions());
  const TConfigContainer none = ReadConfigBlock(block);
  ASSERT_TRUE(none.DebugInfo.has_value());
  EXPECT_TRUE(none.DebugInfo->NamesEnciphered());

  // A check block that contradicts the tables is a damaged container.
  auto forged = SomeBlock();
  const std::size_t check = forged.size() - (ReadConfigBlock(forged).DebugInfoStoredSize);
  PutU32At(forged, check, 0x12345678);
  EXPECT_THROW(ReadConfigBlock(forged), EConfigContainerError);
}

TEST(ConfigContainer, EveryTruncationIsRefused) {
  const auto resource = ConfigResourceFromBlock(SomeBlock());
  // Cutting inside the debug information's zlib data or before it: every prefix but the one
  // that ends right after the options (a valid container without debug information).
  const std::size_t optionsEnd = ConfigResourceFromBlock(SomeBlock({}, false)).size();
  for (std::size_t size = 0; size < resource.size(); ++size) {
    if (size == optionsEnd) continue;
    EXPECT_THROW(ReadConfigResource(std::span(resource).first(size)), EReadError) << size;
  }
  EXPECT_FALSE(ReadConfigResource(std::span(resource).first(optionsEnd)).DebugInfoStored);
}

TEST(ConfigContainer, ForeignNewerAndAncientContainersAreRefused) {
  auto resource = ConfigResourceFromBlock(SomeBlock());
  auto foreign = resource;
  foreign[0] ^= 1;
  EXPECT_THROW(ReadConfigResource(foreign), EConfigContainerError);

  auto newer = resource;
  newer[4] = static_cast<std::uint8_t>((OskedaConfigVersion + 1) & 0xFF);
  newer[5] = static_cast<std::uint8_t>((OskedaConfigVersion + 1) >> 8);
  EXPECT_THROW(ReadConfigResource(newer), EConfigContainerError);

  auto ancient = resource;
  ancient[4] = 100;
  ancient[5] = 1;  // 356
  EXPECT_THROW(ReadConfigResource(ancient), EConfigContainerError);
}

TEST(ConfigContainer, CorruptPartsAreRefused) {
  const auto block = SomeBlock({}, false);
  // Directory length that is no multiple of 9.
  auto directory = block;
  PutU32At(directory, 10, 10);
  EXPECT_THROW(ReadConfigBlock(directory), EReadError);
  // Options length beyond the block.
  auto length = block;
  PutU32At(length, 10 + 4 + 9, 0x7FFFFFFF);
  EXPECT_THROW(ReadConfigBlock(length), EConfigContainerError);
  // A flipped byte inside the compressed options.
  auto flipped = block;
  flipped[10 + 4 + 9 + 4 + 5] ^= 0x55;
  EXPECT_THROW(ReadConfigBlock(flipped), EReadError);
  // The options stream followed by bytes it does not account for.
  auto stream = OptionsStreamOf(SomeOptions());
  stream.push_back(0);
  EXPECT_THROW(ReadConfigBlock(BuildConfigBlock(0, {}, stream, nullptr)), EConfigContainerError);
  // Compressed options that hold nothing.
  EXPECT_THROW(ReadConfigBlock(BuildConfigBlock(0, {}, {}, nullptr)), EZlibError);
}

TEST(ConfigContainer, InflationIsCapped) {
  TOskedaStoredOptions big;
  big.MailBodyText = std::string(200000, 'a');
  const auto block = BuildConfigBlock(0, {}, OptionsStreamOf(big), nullptr);
  EXPECT_LT(block.size(), 2000u);
  TConfigReadSettings settings;
  settings.MaxOptionsSize = 100000;
  EXPECT_THROW(ReadConfigBlock(block, settings), EZlibError);
  EXPECT_EQ(ReadConfigBlock(block).Options.MailBodyText.size(), 200000u);
}

TEST(ConfigContainer, LegacyContainerKeepsItsOptionsAndSkipsItsTables) {
  // A 400 container: after the date, one zlib block with the options stream of that release
  // and then the tables of that release (a 32-bit length and that many bytes).
  StreamBuilder s;
  s.Byte(1).Byte(1).Byte(0x02).Byte(0).Byte(1).Byte(1);
  s.DWord(12).DWord(2).Text("dev@example.org").Text("Error");
  s.Byte(7).DWord(0xFFFFFFFF).Byte(0x55).Text("").DWord(0).Text("");
  for (int i = 0; i < CustomizedTextCount; ++i)
    if (CustomizedTextStored(400, i)) s.Text("T" + std::to_string(i));
  const std::size_t optionsSize = s.bytes.size();
  s.DWord(3).Byte(1).Byte(2).Byte(3);

  const auto container = [](const std::vector<std::uint8_t>& inflated) {
    std::vector<std::uint8_t> block = {0x90, 0x01, 0, 0, 0, 0, 0, 0, 0, 0};  // 400
    const auto compressed = DeflateBlock(inflated);
    block.insert(block.end(), compressed.begin(), compressed.end());
    return block;
  };
  const TConfigContainer read = ReadConfigBlock(container(s.bytes));
  EXPECT_EQ(read.Version, 400);
  EXPECT_EQ(read.Options.LogCapacity, 12);
  EXPECT_EQ(read.Options.MailRecipients, "dev@example.org");
  EXPECT_EQ(read.OptionsStream.size(), optionsSize);
  EXPECT_TRUE(read.DebugInfoStored);
  EXPECT_FALSE(read.DebugInfo.has_value());

  auto overlong = s.bytes;
  overlong.push_back(4);  // one byte more than the tables' length says
  EXPECT_THROW(ReadConfigBlock(container(overlong)), EConfigContainerError);
}

TEST(ConfigContainer, AppendedBlockNeedsMagicAndAPlausibleLength) {
  std::vector<std::uint8_t> file(64, 0);
  EXPECT_TRUE(FindAppendedConfigBlock(file).empty());
  PutU32At(file, 60, OskedaContainerMagic);
  PutU32At(file, 56, 57);  // one more than the file holds before the trailer
  EXPECT_TRUE(FindAppendedConfigBlock(file).empty());
  PutU32At(file, 56, 0);
  EXPECT_TRUE(FindAppendedConfigBlock(file).empty());
  PutU32At(file, 56, 56);
  EXPECT_EQ(FindAppendedConfigBlock(file).size(), 56u);
  EXPECT_TRUE(FindAppendedConfigBlock(std::span(file).first(7)).empty());
}

}  // namespace
