// The options that the configuration stream carries, with their defaults. The options object
// keeps them in this record; the stream reader and writer work on it alone.
#pragma once

#include <cstdint>
#include <string>

#include "report/options/ECustomizedTexts.h"
#include "report/options/ENotifyStringList.h"
#include "report/options/EOptionsTypes.h"

// The HTML page around a report shown as a page; "<%HTML_TAG%>" stands for the report.
const std::string& DefaultPageTemplate();
// The sender address of report mails until the configuration names one.
extern const char* const DefaultMailSender;

struct TOskedaStoredOptions {
  std::string MailSender = DefaultMailSender;
  std::string MailServer;
  std::string MailServerLogin;
  std::string MailServerPassword;
  std::uint16_t MailServerPort = 25;
  TCloseButtonAction CloseButtonAction = cbaRestart;
  bool FreezeWatch = false;
  std::int32_t FreezeSeconds = 60;
  std::string FreezeText = "The application seems to be frozen.";
  TReportFieldSet ReportFieldSet = TReportFieldSet::All();
  TNotifyStringList FilteredClasses;
  TNotifyStringList FilteredMessages;
  TCustomizedTexts Texts = DefaultCustomizedTexts();
  bool LogSwitch = false;
  bool FilterEnabled = true;
  bool ReportInMailBody = false;
  bool CloseButtonEnabled = true;
  bool SaveToLog = true;
  TLogFlags LogFlags = {lfModulesSection, lfCpuSection};
  TSendFlags SendFlags = {sfShowSendDialog, sfAttachScreenshot, sfAttachLastPage};
  std::uint8_t FirstTab = 0;
  std::int32_t LogCapacity = 32;
  std::int32_t CloseButtonAfter = 3;
  std::string LogFolder;
  std::string MailRecipients;
  std::string MailSubject;
  std::string MailBodyText;
  TMailChannel MailChannel = mcNone;
  TWebChannel WebChannel = wcNone;
  std::string ExtraFiles;
  TDialogFlags DialogFlags = {dfShowDialog, dfSendChecked, dfScreenshotChecked, dfShowCopyOption,
                              dfShowDetailsButton};
  std::int32_t DialogTimeoutSecs = 0;
  std::string SupportPage;
  std::string PageTemplate = DefaultPageTemplate();
  TCloseButtonAction CrashAction = cbaRestart;
  std::int32_t CrashCount = 10;
  std::int32_t CrashWindowMinutes = 1;
  TStackFlags StackFlags = {sfStackKind2, sfStackKind3, sfRuntimeThreads, sfSystemThreads};
  TBehaviourFlags BehaviourFlags = {bfCopyOnFailure, bfKeepUnsent};
  std::string UploadURL;
  std::uint32_t UploadPort = 0;
  std::string UploadPassword;
  std::string UploadLogin;

  friend bool operator==(const TOskedaStoredOptions&, const TOskedaStoredOptions&) = default;
};
