#include <gtest/gtest.h>

#include "report/options/ECoreOptions.h"
#include "report/options/EOptionsLegacy.h"
#include "tests/report/options/OptionsTestSupport.h"

namespace {

void AddTexts(StreamBuilder& s, int version) {
  for (int i = 0; i < CustomizedTextCount; ++i)
    if (CustomizedTextStored(version, i)) s.Text("T" + std::to_string(i));
}

TOskedaModuleOptions& Load(TOskedaModuleOptions& o, const StreamBuilder& s, int version) {
  TMemoryStream stream(s.bytes);
  o.LoadFromStream(stream, version);
  EXPECT_EQ(stream.Position(), stream.Size()) << "version " << version;
  return o;
}

constexpr std::uint64_t kUnusedReportBits = TReportFieldSet::AllBits & ~((1ull << 33) - 1);

TEST(LegacyOptionsStream, Version400HasNeitherLogNorFreezeNorMailServerFields) {
  StreamBuilder s;
  s.Byte(1).Byte(1).Byte(0x02);  // LogSwitch, FilterEnabled, LogFlags
  s.Byte(0);                     // "no dialog" off: the dialog is shown
  s.Byte(1);                     // ReportInMailBody
  s.Byte(1);                     // CloseButtonEnabled
  s.DWord(12).DWord(2);          // LogCapacity, CloseButtonAfter
  s.Text("dev@example.org").Text("Error");
  s.Byte(7);                       // mail on, no relay known
  s.DWord(0xFFFFFFFF).Byte(0x55);  // report fields, then the byte that is skipped
  s.Text("");                      // LogFolder
  s.DWord(0);                      // no filters
  s.Text("");
  AddTexts(s, 400);

  TOskedaModuleOptions o("", false);
  o.SetSaveToLog(false);
  o.SetFirstTab(4);
  Load(o, s, 400);
  EXPECT_TRUE(o.LogSwitch());
  EXPECT_EQ(o.LogFlags().Bits(), 0x02);
  EXPECT_TRUE(o.DialogFlags().Contains(dfShowDialog));
  EXPECT_FALSE(o.DialogFlags().Contains(dfBannerLook));
  EXPECT_FALSE(o.SaveToLog());  // not in the stream: kept
  EXPECT_EQ(o.FirstTab(), 4);
  EXPECT_EQ(o.FreezeSeconds(), 60);
  EXPECT_EQ(o.LogCapacity(), 12);
  EXPECT_EQ(o.MailChannel(), mcMailClient);
  EXPECT_EQ(o.ReportFieldSet(), TReportFieldSet::All());
  EXPECT_EQ(o.GetText(67), "T67");
  EXPECT_EQ(o.GetText(68), "Main");   // thread texts came later
  EXPECT_EQ(o.GetText(75), "Send.");  // send dialog texts came later
  EXPECT_EQ(o.GetText(76), "Message");
  EXPECT_EQ(o.GetText(81), "T81");
}

TEST(LegacyOptionsStream, Version420ConvertsTheDialogSwitchFreezeTimeChannelAndReportFields) {
  const std::uint32_t legacyFields = (1u << 0) | (1u << 21) | (1u << 22) | (1u << 31);
  StreamBuilder s;
  s.Byte(1).Byte(0).Byte(0x09);  // LogSwitch, FilterEnabled, LogFlags
  s.Byte(1);                     // "no dialog" on
  s.Byte(1);                     // ReportInMailBody
  s.Byte(0).Byte(2);             // SaveToLog, FirstTab
  s.Byte(1);                     // banner look
  s.Byte(1).DWord(30500);        // FreezeWatch, freeze time in milliseconds
  s.Text("Frozen").Text("relay.example.org");
  s.Byte(0);            // CloseButtonEnabled
  s.DWord(0).DWord(5);  // LogCapacity 0, CloseButtonAfter
  s.Text("r@example.org").Text("Subj");
  s.Byte(1);  // mail on
  s.DWord(legacyFields).Byte(0xEE);
  s.Text("C:\\Logs");
  s.DWord(1).Text("EAbort").Text("Cancelled");
  s.Text("Body\r\nmore");
  AddTexts(s, 420);

  TOskedaModuleOptions o("", false);
  Load(o, s, 420);
  EXPECT_TRUE(o.LogSwitch());
  EXPECT_FALSE(o.FilterEnabled());
  EXPECT_EQ(o.LogFlags().Bits(), 0x09);
  EXPECT_EQ(o.DialogFlags().Bits(), 0x1E | dfBannerLook);
  EXPECT_TRUE(o.ReportInMailBody());
  EXPECT_FALSE(o.SaveToLog());
  EXPECT_EQ(o.FirstTab(), 2);
  EXPECT_TRUE(o.FreezeWatch());
  EXPECT_EQ(o.FreezeSeconds(), 30);
  EXPECT_EQ(o.FreezeText(), "Frozen");
  EXPECT_EQ(o.MailServer(), "relay.example.org");
  EXPECT_EQ(o.MailSender(), DefaultMailSender);
  EXPECT_EQ(o.MailServerPort(), 25);
  EXPECT_EQ(o.CloseButtonAction(), cbaRestart);
  EXPECT_FALSE(o.CloseButtonEnabled());
  EXPECT_EQ(o.LogCapacity(), 1);
  EXPECT_EQ(o.CloseButtonAfter(), 5);
  EXPECT_EQ(o.MailRecipients(), "r@example.org");
  EXPECT_EQ(o.MailChannel(), mcSmtpClient);
  EXPECT_EQ(o.ReportFieldSet().Bits(),
            (1ull << rfApplicationStartDate) | (1ull << rfComputerProcessor) |
                (1ull << rfComputerDisplayMode) | (1ull << rfNetworkIPAddress) |
                (1ull << rfOperatingSystemLanguage) | kUnusedReportBits);
  EXPECT_EQ(o.LogFolder(), "C:\\Logs");
  EXPECT_EQ(o.FilteredClasses().Items(), std::vector<std::string>{"EAbort"});
  EXPECT_EQ(o.FilteredMessages().Items(), std::vector<std::string>{"Cancelled"});
  EXPECT_EQ(o.MailBodyText(), "Body\r\nmore");
  EXPECT_EQ(o.SendFlags().Bits(), 0x51);
  EXPECT_EQ(o.WebChannel(), wcNone);
  EXPECT_EQ(o.PageTemplate(), DefaultPageTemplate());
  EXPECT_EQ(o.GetText(20), "T20");
  EXPECT_EQ(o.GetText(21), "Go to the Support Page");
  EXPECT_EQ(o.GetText(22), "T22");
  EXPECT_EQ(o.GetText(68), "Main");
  EXPECT_EQ(o.GetText(75), "T75");
  EXPECT_EQ(o.GetText(93), "T93");
  EXPECT_EQ(o.GetText(94), "The message was sent successfully.");
}

TEST(LegacyOptionsStream, Version450ReadsSendSwitchesSenderPortAndKeepsTheChannel) {
  StreamBuilder s;
  s.Byte(0).Byte(1).Byte(0x30);
  s.Byte(0);                  // show dialog off (no longer inverted)
  s.Byte(1).Byte(0).Byte(0);  // whole log on, screenshot off, send dialog off
  s.Byte(0);                  // ReportInMailBody
  s.Byte(1).Byte(1);          // SaveToLog, FirstTab
  s.Byte(0);                  // banner look off
  s.Byte(0).DWord(45).Text("Stuck");
  s.Text("me@example.org");  // MailSender
  s.Text("");                // MailServer
  s.Word(587);
  s.Text("user").Text("pw");
  s.Byte(cbaTerminate);
  s.Byte(1);
  s.DWord(50).DWord(3);
  s.Text("x@example.org").Text("");
  s.Byte(mcSmtpServer);
  s.DWord(0x3FFFFF);  // everything up to the processor
  s.Text("");
  s.DWord(2).Text("EConvertError").Text("").Text("EListError").Text("Lists!");
  s.Text("");
  AddTexts(s, 450);

  TOskedaModuleOptions o("", false);
  Load(o, s, 450);
  EXPECT_FALSE(o.DialogFlags().Contains(dfShowDialog));
  EXPECT_FALSE(o.DialogFlags().Contains(dfBannerLook));
  EXPECT_EQ(o.SendFlags().Bits(), sfSendWholeLog | sfAttachLastPage);
  EXPECT_EQ(o.FreezeSeconds(), 45);
  EXPECT_EQ(o.FreezeText(), "Stuck");
  EXPECT_EQ(o.MailSender(), "me@example.org");
  EXPECT_EQ(o.MailServerPort(), 587);
  EXPECT_EQ(o.MailServerLogin(), "user");
  EXPECT_EQ(o.MailServerPassword(), "pw");
  EXPECT_EQ(o.CloseButtonAction(), cbaTerminate);
  EXPECT_EQ(o.LogCapacity(), 50);
  EXPECT_EQ(o.MailChannel(), mcSmtpServer);
  EXPECT_EQ(o.ReportFieldSet().Bits(),
            0x3FFFFFull | (1ull << rfComputerDisplayMode) | kUnusedReportBits);
  EXPECT_EQ(o.FilteredMessages()[1], "Lists!");
  EXPECT_EQ(o.GetText(80), "T80");
  EXPECT_EQ(o.GetText(95), "Sorry, sending the message didn't work.");
}

TEST(LegacyOptionsStream, Version500HasTheCurrentLayout) {
  StreamBuilder s;
  s.Byte(1).Byte(1).Byte(0x3F).Byte(1).Byte(0).Byte(5).Byte(1);
  s.DWord(90).Text("Frozen!").Text("from@example.org").Text("mx.example.org").Word(465);
  s.Text("u").Text("p");
  s.Byte(cbaTerminate).Byte(1);
  s.DWord(100).DWord(0);
  s.Text("to@example.org").Text("S");
  s.Byte(mcSmtpClient);
  s.DWord(0x00000005).Byte(0x80);  // five bytes in the current order
  s.Text("E:\\x.OSK");
  s.Byte(wcHttps).Text("https://example.org/up").Text("ul").Text("up").DWord(8443).Text("f.txt");
  s.Word(0x0283).Byte(0x41).DWord(12);
  s.Text("http://example.org/help").Text("<%HTML_TAG%>");
  s.Byte(0x1C).Byte(0x01).Byte(cbaTerminate).DWord(3).DWord(2);
  s.DWord(0);
  s.Text("Mail body");
  AddTexts(s, 500);

  TOskedaModuleOptions o("", false);
  Load(o, s, 500);
  EXPECT_EQ(o.LogFlags().Bits(), 0x3F);
  EXPECT_TRUE(o.ReportInMailBody());
  EXPECT_FALSE(o.SaveToLog());
  EXPECT_EQ(o.FirstTab(), 5);
  EXPECT_TRUE(o.FreezeWatch());
  EXPECT_EQ(o.FreezeSeconds(), 90);
  EXPECT_EQ(o.MailServer(), "mx.example.org");
  EXPECT_EQ(o.MailServerPort(), 465);
  EXPECT_EQ(o.ReportFieldSet().Bits(), 0x8000000005ull);
  EXPECT_EQ(o.LogFolder(), "E:\\x.OSK");
  EXPECT_EQ(o.WebChannel(), wcHttps);
  EXPECT_EQ(o.UploadURL(), "https://example.org/up");
  EXPECT_EQ(o.UploadLogin(), "ul");
  EXPECT_EQ(o.UploadPassword(), "up");
  EXPECT_EQ(o.UploadPort(), 8443u);
  EXPECT_EQ(o.ExtraFiles(), "f.txt");
  EXPECT_EQ(o.SendFlags().Bits(), 0x0283);
  EXPECT_EQ(o.DialogFlags().Bits(), 0x41);
  EXPECT_EQ(o.DialogTimeoutSecs(), 12);
  EXPECT_EQ(o.SupportPage(), "http://example.org/help");
  EXPECT_EQ(o.PageTemplate(), "<%HTML_TAG%>");
  EXPECT_EQ(o.StackFlags().Bits(), 0x1C);
  EXPECT_EQ(StackKindMask(o.StackFlags()), 16u);
  EXPECT_EQ(o.BehaviourFlags().Bits(), bfRateLimit);
  EXPECT_EQ(o.CrashAction(), cbaTerminate);
  EXPECT_EQ(o.CrashCount(), 3);
  EXPECT_EQ(o.CrashWindowMinutes(), 2);
  EXPECT_EQ(o.FilteredClasses().Count(), 0);
  EXPECT_EQ(o.MailBodyText(), "Mail body");
  for (int i = 0; i < CustomizedTextCount; ++i) EXPECT_EQ(o.GetText(i), "T" + std::to_string(i));
}

TEST(LegacyOptionsStream, FreezeTimeIsInMillisecondsOnlyBefore422) {
  auto freezeSeconds = [](int version) {
    StreamBuilder s;
    s.Byte(0).Byte(0).Byte(0).Byte(0).Byte(0).Byte(1).Byte(0).Byte(0);
    s.Byte(1).DWord(20000).Text("F").Text("");
    if (version > 420) s.Text("").Text("").Byte(cbaRestart);
    s.Byte(1).DWord(1).DWord(1).Text("").Text("").Byte(0).DWord(0).Byte(0).Text("");
    s.DWord(0).Text("");
    AddTexts(s, version);
    TOskedaModuleOptions o("", false);
    return Load(o, s, version).FreezeSeconds();
  };
  EXPECT_EQ(freezeSeconds(420), 20);
  EXPECT_EQ(freezeSeconds(421), 20);
  EXPECT_EQ(freezeSeconds(422), 20000);
}

}  // namespace
