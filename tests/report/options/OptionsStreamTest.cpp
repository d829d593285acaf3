#include <gtest/gtest.h>

#include "report/options/ECoreOptions.h"
#include "report/options/EOptionsStream.h"
#include "tests/report/options/OptionsTestSupport.h"

namespace {

std::vector<std::uint8_t> Saved(const TOskedaModuleOptions& o) {
  TMemoryStream stream;
  o.SaveToStream(stream);
  return stream.Bytes();
}

TEST(OptionsStream, SaveThenLoadGivesBackEveryFieldAndPadsTheLists) {
  TOskedaModuleOptions source("C:\\App\\Tool.exe", false);
  FillEverything(source);
  TMemoryStream stream;
  source.SaveToStream(stream);

  TOskedaModuleOptions loaded("C:\\App\\Other.dll", false);
  stream.SetPosition(0);
  loaded.LoadFromStream(stream);
  EXPECT_EQ(stream.Position(), stream.Size());

  TOskedaStoredOptions expected = source.StoredOptions();
  expected.FilteredMessages.Add("");
  expected.Texts[3] = "two\r\nlines";
  EXPECT_TRUE(loaded.StoredOptions() == expected);
  EXPECT_EQ(loaded.FilteredClasses().Items(),
            (std::vector<std::string>{"EAbort", "EConvertError", "EListError"}));
  EXPECT_EQ(loaded.FilteredMessages().Items(), (std::vector<std::string>{"", "Bad number", ""}));
  EXPECT_EQ(loaded.GetText(95), "text 95");
  EXPECT_EQ(loaded.ReportFieldSet().Bits(), (1ull << rfApplicationName) | (1ull << rfNetworkDHCP) |
                                                (1ull << rfComputerDisplayMode));
  EXPECT_EQ(loaded.UploadPort(), 0xFFFFFFF0u);
  EXPECT_EQ(loaded.MailServerPassword(), "p\xE4ss");
  // What is not stored stays the loader's own.
  EXPECT_EQ(loaded.OwnerModuleName(), "C:\\App\\Other.dll");
  EXPECT_EQ(Saved(loaded), Saved(source));
}

TEST(OptionsStream, DefaultsSurviveARoundTrip) {
  TOskedaModuleOptions source("", false), loaded("", false);
  loaded.SetMailSubject("will be replaced");
  TMemoryStream stream;
  source.SaveToStream(stream);
  stream.SetPosition(0);
  loaded.LoadFromStream(stream);
  EXPECT_TRUE(loaded.StoredOptions() == source.StoredOptions());
}

TEST(OptionsStream, OnlyAFinalCrLfThatIsTheFirstIsDropped) {
  EXPECT_EQ(TextWithoutFinalLineBreak("abc\r\n"), "abc");
  EXPECT_EQ(TextWithoutFinalLineBreak("\r\n"), "");
  EXPECT_EQ(TextWithoutFinalLineBreak("a\r\nb\r\n"), "a\r\nb\r\n");
  EXPECT_EQ(TextWithoutFinalLineBreak("a\r\nb"), "a\r\nb");
  EXPECT_EQ(TextWithoutFinalLineBreak("abc\n"), "abc\n");
  EXPECT_EQ(TextWithoutFinalLineBreak("abc\r\n\r\n"), "abc\r\n\r\n");

  TOskedaModuleOptions source("", false), loaded("", false);
  source.SetMailSubject("Subject\r\n");
  source.SetMailBodyText("Line 1\r\nLine 2\r\n");
  source.SetText(0, "Caption\r\n");
  TMemoryStream stream;
  source.SaveToStream(stream);
  stream.SetPosition(0);
  loaded.LoadFromStream(stream);
  EXPECT_EQ(loaded.MailSubject(), "Subject");
  EXPECT_EQ(loaded.MailBodyText(), "Line 1\r\nLine 2\r\n");
  EXPECT_EQ(loaded.GetText(0), "Caption");
}

TEST(OptionsStream, StartsWithTheLayoutItsReadersExpect) {
  TOskedaModuleOptions o("", false);
  o.SetFreezeSeconds(0x01020304);
  o.SetFreezeText("Hi");
  const std::vector<std::uint8_t> bytes = Saved(o);
  StreamBuilder expected;
  expected.Byte(0).Byte(1).Byte(0x30).Byte(0).Byte(1).Byte(0).Byte(0).DWord(0x01020304).Text("Hi");
  ASSERT_GE(bytes.size(), expected.bytes.size());
  EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + expected.bytes.size()),
            expected.bytes);
  // The text bytes are scrambled, never plain.
  EXPECT_NE(bytes[15], 'H');
}

TEST(OptionsStream, FilterCountIsTheLongerListAndLoadingReplacesBothLists) {
  TOskedaModuleOptions source("", false);
  source.SetFilteredMessages({"m0", "m1", "m2", "m3"});
  source.SetFilteredClasses({"EAbort"});
  TOskedaModuleOptions loaded("", false);
  loaded.SetFilteredClasses({"Old1", "Old2", "Old3", "Old4", "Old5"});
  TMemoryStream stream;
  source.SaveToStream(stream);
  stream.SetPosition(0);
  loaded.LoadFromStream(stream);
  EXPECT_EQ(loaded.FilteredClasses().Items(), (std::vector<std::string>{"EAbort", "", "", ""}));
  EXPECT_EQ(loaded.FilteredMessages().Items(), (std::vector<std::string>{"m0", "m1", "m2", "m3"}));
}

TEST(OptionsStream, LeavesTheStreamRightAfterTheOptions) {
  TOskedaModuleOptions source("", false);
  TMemoryStream stream;
  source.SaveToStream(stream);
  const std::uint64_t end = stream.Position();
  const std::uint8_t trailer[] = {0xDE, 0xAD};
  stream.Write(trailer, sizeof trailer);
  stream.SetPosition(0);
  TOskedaModuleOptions loaded("", false);
  loaded.LoadFromStream(stream);
  EXPECT_EQ(stream.Position(), end);
}

TEST(OptionsStream, EveryTruncationRaisesAndLeavesTheOptionsAlone) {
  TOskedaModuleOptions source("", false);
  FillEverything(source);
  const std::vector<std::uint8_t> bytes = Saved(source);
  TOskedaModuleOptions target("", false);
  target.SetMailSubject("untouched");
  const std::vector<std::uint8_t> before = Saved(target);
  for (std::size_t cut = 0; cut < bytes.size(); ++cut) {
    TMemoryStream stream(std::span<const std::uint8_t>(bytes.data(), cut));
    EXPECT_THROW(target.LoadFromStream(stream), EReadError) << "cut at " << cut;
  }
  EXPECT_EQ(Saved(target), before);
  EXPECT_EQ(target.MailSubject(), "untouched");
}

TEST(OptionsStream, CorruptLengthsAndValuesRaiseBeforeAllocating) {
  // LogSwitch .. FreezeWatch, FreezeSeconds, then the FreezeText length.
  StreamBuilder head;
  head.Byte(0).Byte(1).Byte(0).Byte(0).Byte(1).Byte(0).Byte(0).DWord(60);

  StreamBuilder negative = head;
  negative.DWord(0x80000000u).Byte('x');
  EXPECT_THROW(ParseStoredOptions(negative.bytes.data(), negative.bytes.size()),
               EOptionsStreamError);

  StreamBuilder huge = head;
  huge.DWord(0x7FFFFFFF).Byte('x');
  EXPECT_THROW(ParseStoredOptions(huge.bytes.data(), huge.bytes.size()), EOptionsStreamError);

  // A filter count far beyond what the rest of the stream could hold. The count comes right
  // before MailBodyText and the 96 texts.
  TOskedaStoredOptions defaults;
  TMemoryStream saved;
  SaveStoredOptions(saved, defaults);
  std::vector<std::uint8_t> bytes = saved.Bytes();
  std::size_t tail = 4;  // empty MailBodyText
  for (const std::string& text : defaults.Texts) tail += 4 + TextWithoutFinalLineBreak(text).size();
  const std::size_t countAt = bytes.size() - tail - 4;
  ASSERT_EQ(bytes[countAt], 0);
  bytes[countAt + 3] = 0x10;
  EXPECT_THROW(ParseStoredOptions(bytes.data(), bytes.size()), EOptionsStreamError);
}

TEST(OptionsStream, EnumerationsOutOfRangeAreCorrupt) {
  TOskedaStoredOptions defaults;
  TMemoryStream stream;
  SaveStoredOptions(stream, defaults);
  std::vector<std::uint8_t> bytes = stream.Bytes();
  // MailChannel sits after the fixed prefix: 7 bytes, FreezeSeconds, three texts, the port,
  // two texts, two bytes, two integers and two texts.
  std::size_t at = 7 + 4;
  for (const std::string* s : {&defaults.FreezeText, &defaults.MailSender, &defaults.MailServer})
    at += 4 + s->size();
  at += 2 + 4 + 4 + 2 + 4 + 4 + 4 + 4;
  ASSERT_EQ(bytes[at], mcNone);
  bytes[at] = 4;
  try {
    ParseStoredOptions(bytes.data(), bytes.size());
    FAIL() << "no error";
  } catch (const EOptionsStreamError& e) {
    EXPECT_EQ(e.Message(),
              "Corrupt options stream: MailChannel value 4 at offset " + std::to_string(at) + ".");
  }
  bytes[at] = mcSmtpServer;
  EXPECT_EQ(ParseStoredOptions(bytes.data(), bytes.size()).MailChannel, mcSmtpServer);
}

TEST(OptionsStream, VersionsOutsideTheKnownRangeAreRefused) {
  TOskedaStoredOptions defaults;
  TMemoryStream stream;
  SaveStoredOptions(stream, defaults);
  const auto& b = stream.Bytes();
  EXPECT_THROW(ParseStoredOptions(b.data(), b.size(), 399), EOptionsStreamError);
  EXPECT_THROW(ParseStoredOptions(b.data(), b.size(), OskedaConfigVersion + 1),
               EOptionsStreamError);
  EXPECT_TRUE(ParseStoredOptions(b.data(), b.size(), 500) == defaults);
  EXPECT_THROW(ParseStoredOptions(nullptr, 0), EReadError);
}

TEST(OptionsMemoryStream, ReadsWhatWasWrittenAndStopsAtTheEnd) {
  TMemoryStream s;
  const char text[] = "abcdef";
  s.Write(text, 6);
  s.SetPosition(10);
  s.Write("z", 1);
  EXPECT_EQ(s.Size(), 11u);
  EXPECT_EQ(s.Bytes()[7], 0);
  s.SetPosition(4);
  char buffer[8] = {};
  EXPECT_EQ(s.Read(buffer, sizeof buffer), 7u);
  EXPECT_EQ(s.Remaining(), 0u);
  s.SetPosition(20);
  EXPECT_EQ(s.Read(buffer, 1), 0u);
  EXPECT_THROW(s.ReadBuffer(buffer, 1), EReadError);
  s.SetPosition(9);
  EXPECT_THROW(s.ReadBuffer(buffer, 3), EReadError);
  EXPECT_EQ(s.Position(), 9u);
}

}  // namespace
