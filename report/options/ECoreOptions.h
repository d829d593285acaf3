// The reporting options of one module: every decision of the exception-reporting subsystem
// reads them. Each setter stores its value and calls NotifyChange, which publishes the options
// (Changed) when they are not inside an update bracket.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "report/options/ECustomizedTexts.h"
#include "report/options/EOptionsEnvironment.h"
#include "report/options/EOptionsStream.h"
#include "report/options/EOptionsTypes.h"
#include "report/options/EStoredOptions.h"
#include "report/options/EStreams.h"

class TOskedaModuleOptions {
 public:
  // environment nullptr: the process's environment at the time of each use.
  TOskedaModuleOptions(std::string moduleName, bool publish,
                       TOskedaOptionsEnvironment* environment = nullptr);
  TOskedaModuleOptions(const TOskedaModuleOptions&) = delete;
  TOskedaModuleOptions& operator=(const TOskedaModuleOptions&) = delete;
  virtual ~TOskedaModuleOptions() = default;

  virtual void Changed() {}
  virtual void SetEnabled(bool value);
  virtual void SetFreezeWatch(bool value);
  // Copies every option of source except Enabled, PublishChanges, UpdateDepth and
  // OwnerModuleName. EConvertError for nullptr.
  virtual void Assign(const TOskedaModuleOptions* source);
  virtual void SetDefaults();
  virtual void SaveToStream(TStream& stream) const;
  // Raises as LoadStoredOptions does and then leaves the options as they were.
  virtual void LoadFromStream(TStream& stream, int version = OskedaConfigVersion);

  // Changes made inside a bracket are published once, when the outermost bracket closes.
  void BeginUpdate() { ++updateDepth_; }
  void EndUpdate();
  void NotifyChange();

  const std::string& GetText(int index) const;
  // The log file for fileName (OwnerModuleName when empty, else the module carrying this code).
  std::string LogFileName(std::string_view fileName = {}) const;

  // All stored options at once, as the stream carries them.
  const TOskedaStoredOptions& StoredOptions() const { return o_; }

  bool PublishChanges() const { return publishChanges_; }
  int UpdateDepth() const { return updateDepth_; }
  const std::string& OwnerModuleName() const { return ownerModuleName_; }
  bool Enabled() const { return enabled_; }
  const std::string& MailSender() const { return o_.MailSender; }
  const std::string& MailServer() const { return o_.MailServer; }
  const std::string& MailServerLogin() const { return o_.MailServerLogin; }
  const std::string& MailServerPassword() const { return o_.MailServerPassword; }
  std::uint16_t MailServerPort() const { return o_.MailServerPort; }
  TCloseButtonAction CloseButtonAction() const { return o_.CloseButtonAction; }
  bool FreezeWatch() const { return o_.FreezeWatch; }
  std::int32_t FreezeSeconds() const { return o_.FreezeSeconds; }
  const std::string& FreezeText() const { return o_.FreezeText; }
  TReportFieldSet ReportFieldSet() const { return o_.ReportFieldSet; }
  // Editing a list publishes like a setter.
  TNotifyStringList& FilteredClasses() { return o_.FilteredClasses; }
  const TNotifyStringList& FilteredClasses() const { return o_.FilteredClasses; }
  TNotifyStringList& FilteredMessages() { return o_.FilteredMessages; }
  const TNotifyStringList& FilteredMessages() const { return o_.FilteredMessages; }
  const TCustomizedTexts& Texts() const { return o_.Texts; }
  bool LogSwitch() const { return o_.LogSwitch; }
  bool FilterEnabled() const { return o_.FilterEnabled; }
  bool ReportInMailBody() const { return o_.ReportInMailBody; }
  bool CloseButtonEnabled() const { return o_.CloseButtonEnabled; }
  bool SaveToLog() const { return o_.SaveToLog; }
  TLogFlags LogFlags() const { return o_.LogFlags; }
  TSendFlags SendFlags() const { return o_.SendFlags; }
  std::uint8_t FirstTab() const { return o_.FirstTab; }
  std::int32_t LogCapacity() const { return o_.LogCapacity; }
  std::int32_t CloseButtonAfter() const { return o_.CloseButtonAfter; }
  const std::string& LogFolder() const { return o_.LogFolder; }
  const std::string& MailRecipients() const { return o_.MailRecipients; }
  const std::string& MailSubject() const { return o_.MailSubject; }
  const std::string& MailBodyText() const { return o_.MailBodyText; }
  TMailChannel MailChannel() const { return o_.MailChannel; }
  TWebChannel WebChannel() const { return o_.WebChannel; }
  const std::string& ExtraFiles() const { return o_.ExtraFiles; }
  TDialogFlags DialogFlags() const { return o_.DialogFlags; }
  std::int32_t DialogTimeoutSecs() const { return o_.DialogTimeoutSecs; }
  const std::string& SupportPage() const { return o_.SupportPage; }
  const std::string& PageTemplate() const { return o_.PageTemplate; }
  TCloseButtonAction CrashAction() const { return o_.CrashAction; }
  std::int32_t CrashCount() const { return o_.CrashCount; }
  std::int32_t CrashWindowMinutes() const { return o_.CrashWindowMinutes; }
  TStackFlags StackFlags() const { return o_.StackFlags; }
  TBehaviourFlags BehaviourFlags() const { return o_.BehaviourFlags; }
  const std::string& UploadURL() const { return o_.UploadURL; }
  std::uint32_t UploadPort() const { return o_.UploadPort; }
  const std::string& UploadPassword() const { return o_.UploadPassword; }
  const std::string& UploadLogin() const { return o_.UploadLogin; }

  void SetPublishChanges(bool v) { Store(publishChanges_, v); }
  void SetOwnerModuleName(std::string v) { Store(ownerModuleName_, std::move(v)); }
  void SetMailSender(std::string v) { Store(o_.MailSender, std::move(v)); }
  void SetMailServer(std::string v) { Store(o_.MailServer, std::move(v)); }
  void SetMailServerLogin(std::string v) { Store(o_.MailServerLogin, std::move(v)); }
  void SetMailServerPassword(std::string v) { Store(o_.MailServerPassword, std::move(v)); }
  void SetMailServerPort(std::uint16_t v) { Store(o_.MailServerPort, v); }
  void SetCloseButtonAction(TCloseButtonAction v) { Store(o_.CloseButtonAction, v); }
  void SetFreezeSeconds(std::int32_t v) { Store(o_.FreezeSeconds, v); }
  void SetFreezeText(std::string v) { Store(o_.FreezeText, std::move(v)); }
  void SetReportFieldSet(TReportFieldSet v) { Store(o_.ReportFieldSet, v); }
  void SetFilteredClasses(const std::vector<std::string>& v) { o_.FilteredClasses.Assign(v); }
  void SetFilteredMessages(const std::vector<std::string>& v) { o_.FilteredMessages.Assign(v); }
  void SetTexts(const TCustomizedTexts& v) { Store(o_.Texts, v); }
  // EListError outside 0..95.
  void SetText(int index, std::string value);
  void SetLogSwitch(bool v) { Store(o_.LogSwitch, v); }
  void SetFilterEnabled(bool v) { Store(o_.FilterEnabled, v); }
  void SetReportInMailBody(bool v) { Store(o_.ReportInMailBody, v); }
  void SetCloseButtonEnabled(bool v) { Store(o_.CloseButtonEnabled, v); }
  void SetSaveToLog(bool v) { Store(o_.SaveToLog, v); }
  void SetLogFlags(TLogFlags v) { Store(o_.LogFlags, v); }
  void SetSendFlags(TSendFlags v) { Store(o_.SendFlags, v); }
  void SetFirstTab(std::uint8_t v) { Store(o_.FirstTab, v); }
  // A log keeps at least one report: 0 (and, as no log can keep fewer, a negative count)
  // stores 1.
  void SetLogCapacity(std::int32_t v) { Store(o_.LogCapacity, v < 1 ? 1 : v); }
  void SetCloseButtonAfter(std::int32_t v) { Store(o_.CloseButtonAfter, v); }
  void SetLogFolder(std::string v) { Store(o_.LogFolder, std::move(v)); }
  void SetMailRecipients(std::string v) { Store(o_.MailRecipients, std::move(v)); }
  void SetMailSubject(std::string v) { Store(o_.MailSubject, std::move(v)); }
  void SetMailBodyText(std::string v) { Store(o_.MailBodyText, std::move(v)); }
  void SetMailChannel(TMailChannel v) { Store(o_.MailChannel, v); }
  void SetWebChannel(TWebChannel v) { Store(o_.WebChannel, v); }
  void SetExtraFiles(std::string v) { Store(o_.ExtraFiles, std::move(v)); }
  void SetDialogFlags(TDialogFlags v) { Store(o_.DialogFlags, v); }
  void SetDialogTimeoutSecs(std::int32_t v) { Store(o_.DialogTimeoutSecs, v); }
  void SetSupportPage(std::string v) { Store(o_.SupportPage, std::move(v)); }
  void SetPageTemplate(std::string v) { Store(o_.PageTemplate, std::move(v)); }
  void SetCrashAction(TCloseButtonAction v) { Store(o_.CrashAction, v); }
  void SetCrashCount(std::int32_t v) { Store(o_.CrashCount, v); }
  void SetCrashWindowMinutes(std::int32_t v) { Store(o_.CrashWindowMinutes, v); }
  void SetStackFlags(TStackFlags v) { Store(o_.StackFlags, v); }
  void SetBehaviourFlags(TBehaviourFlags v) { Store(o_.BehaviourFlags, v); }
  void SetUploadURL(std::string v) { Store(o_.UploadURL, std::move(v)); }
  void SetUploadPort(std::uint32_t v) { Store(o_.UploadPort, v); }
  void SetUploadPassword(std::string v) { Store(o_.UploadPassword, std::move(v)); }
  void SetUploadLogin(std::string v) { Store(o_.UploadLogin, std::move(v)); }

 protected:
  TOskedaOptionsEnvironment& Environment() const;

 private:
  template <typename T, typename V>
  void Store(T& field, V&& value) {
    field = std::forward<V>(value);
    NotifyChange();
  }
  // The lists, the texts, then every stored option through its setter, in one bracket.
  void ApplyStoredOptions(const TOskedaStoredOptions& source);

  TOskedaStoredOptions o_;
  bool publishChanges_;
  int updateDepth_ = 0;
  bool changePending_ = false;
  std::string ownerModuleName_;
  bool enabled_ = true;
  TOskedaOptionsEnvironment* environment_;
};
