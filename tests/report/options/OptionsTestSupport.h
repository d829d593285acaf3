// Shared pieces of the options tests: a recording environment, a byte builder for hand-made
// streams and an options object with every field away from its default.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "report/options/ECoreOptions.h"
#include "report/options/EOptionsEnvironment.h"
#include "report/options/EOptionsIO.h"

class FakeEnvironment : public TOskedaOptionsEnvironment {
 public:
  bool IsOwnModule(std::string_view moduleName) const override {
    return ownModule == "*" || moduleName == ownModule;
  }
  void PublishModuleOptions(std::string_view moduleName,
                            std::span<const std::uint8_t> block) override {
    publishedModules.emplace_back(moduleName);
    lastBlock.assign(block.begin(), block.end());
  }
  void StartFreezeWatch() override { freezeCalls += "start;"; }
  void StopFreezeWatch() override { freezeCalls += "stop;"; }
  std::string ComputerName() const override { return computerName; }
  std::string ModuleFileName() const override { return moduleFileName; }

  std::string ownModule = "*";
  std::string computerName = "PC";
  std::string moduleFileName = "C:\\Program\\Dialmoor.exe";
  std::vector<std::string> publishedModules;
  std::vector<std::uint8_t> lastBlock;
  std::string freezeCalls;
};

// Little-endian items and scrambled texts, written out by hand in the order a test lists them.
class StreamBuilder {
 public:
  StreamBuilder& Byte(std::uint8_t v) {
    bytes.push_back(v);
    return *this;
  }
  StreamBuilder& Word(std::uint16_t v) { return Byte(v & 0xFF).Byte(v >> 8); }
  StreamBuilder& DWord(std::uint32_t v) { return Word(v & 0xFFFF).Word(v >> 16); }
  StreamBuilder& Text(const std::string& s) {
    DWord(static_cast<std::uint32_t>(s.size()));
    for (char c : s) Byte(static_cast<std::uint8_t>(c) ^ OptionsTextKey);
    return *this;
  }
  std::vector<std::uint8_t> bytes;
};

// Every stored option set to a value that differs from its default.
inline void FillEverything(TOskedaModuleOptions& o) {
  o.SetMailSender("sender@example.org");
  o.SetMailServer("smtp.example.org");
  o.SetMailServerLogin("login");
  o.SetMailServerPassword("p\xE4ss");
  o.SetMailServerPort(2525);
  o.SetCloseButtonAction(cbaTerminate);
  o.SetFreezeWatch(true);
  o.SetFreezeSeconds(17);
  o.SetFreezeText("Frozen\r\nsolid");
  o.SetReportFieldSet(TReportFieldSet{rfApplicationName, rfNetworkDHCP, rfComputerDisplayMode});
  o.SetFilteredClasses({"EAbort", "EConvertError", "EListError"});
  o.SetFilteredMessages({"", "Bad number"});
  TCustomizedTexts texts;
  for (int i = 0; i < CustomizedTextCount; ++i) texts[i] = "text " + std::to_string(i);
  texts[3] = "two\r\nlines";
  o.SetTexts(texts);
  o.SetLogSwitch(true);
  o.SetFilterEnabled(false);
  o.SetReportInMailBody(true);
  o.SetCloseButtonEnabled(false);
  o.SetSaveToLog(false);
  o.SetLogFlags({lfSkipDuplicates, lfAskReproduce, lfDeleteOnVersionChange, lfComputerInFileName});
  o.SetSendFlags({sfShowSendResult, sfSendWholeLog, sfAttachXmlLog, sfScreenshotForegroundOnly,
                  sfSendInThread, sfTimestampFileNames, sfCompressAttachments});
  o.SetFirstTab(3);
  o.SetLogCapacity(7);
  o.SetCloseButtonAfter(-1);
  o.SetLogFolder("D:\\Logs");
  o.SetMailRecipients("a@example.org;b@example.org");
  o.SetMailSubject("Crash");
  o.SetMailBodyText("Body");
  o.SetMailChannel(mcSmtpServer);
  o.SetWebChannel(wcFtp);
  o.SetExtraFiles("a.txt;b.txt");
  o.SetDialogFlags({dfStartExpanded, dfTopMost, dfBannerLook});
  o.SetDialogTimeoutSecs(5);
  o.SetSupportPage("http://example.org/support");
  o.SetPageTemplate("<p><%HTML_TAG%></p>");
  o.SetCrashAction(cbaTerminate);
  o.SetCrashCount(4);
  o.SetCrashWindowMinutes(9);
  o.SetStackFlags({sfLineOffsets});
  o.SetBehaviourFlags({bfRateLimit, bfPauseRuntimeThreads, bfKeepMainRunning, bfPauseSystemThreads,
                       bfUseMainModuleOptions});
  o.SetUploadURL("ftp://example.org/in");
  o.SetUploadPort(0xFFFFFFF0u);
  o.SetUploadPassword("secret");
  o.SetUploadLogin("uploader");
}
