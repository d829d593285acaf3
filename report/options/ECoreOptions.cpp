#include "report/options/ECoreOptions.h"

#include "platform/SysUtils.h"
#include "report/options/ELogFileName.h"

TOskedaModuleOptions::TOskedaModuleOptions(std::string moduleName, bool publish,
                                           TOskedaOptionsEnvironment* environment)
    : publishChanges_(publish), ownerModuleName_(std::move(moduleName)), environment_(environment) {
  o_.FilteredClasses.OnChange = [this] { NotifyChange(); };
  o_.FilteredMessages.OnChange = [this] { NotifyChange(); };
  // Defaults are no change worth publishing: the area of a module appears with its first edit.
  BeginUpdate();
  SetDefaults();
  updateDepth_ = 0;
  changePending_ = false;
}

TOskedaOptionsEnvironment& TOskedaModuleOptions::Environment() const {
  return environment_ ? *environment_ : OskedaOptionsEnvironment();
}

void TOskedaModuleOptions::EndUpdate() {
  if (updateDepth_ > 0) --updateDepth_;
  if (updateDepth_ == 0 && changePending_) {
    changePending_ = false;
    NotifyChange();
  }
}

void TOskedaModuleOptions::NotifyChange() {
  if (updateDepth_ > 0) {
    changePending_ = true;
    return;
  }
  if (publishChanges_ && Environment().IsOwnModule(ownerModuleName_)) Changed();
}

void TOskedaModuleOptions::SetEnabled(bool value) { Store(enabled_, value); }

void TOskedaModuleOptions::SetFreezeWatch(bool value) { Store(o_.FreezeWatch, value); }

void TOskedaModuleOptions::SetText(int index, std::string value) {
  DefaultCustomizedText(index);  // range check
  Store(o_.Texts[static_cast<std::size_t>(index)], std::move(value));
}

const std::string& TOskedaModuleOptions::GetText(int index) const {
  DefaultCustomizedText(index);  // range check
  return o_.Texts[static_cast<std::size_t>(index)];
}

void TOskedaModuleOptions::Assign(const TOskedaModuleOptions* source) {
  if (source == nullptr) throw EConvertError("Impossible to assign nil as TOskedaModuleOptions.");
  if (source == this) return;
  ApplyStoredOptions(source->o_);
}

void TOskedaModuleOptions::SetDefaults() {
  BeginUpdate();
  try {
    ApplyStoredOptions(TOskedaStoredOptions{});
    SetEnabled(true);
  } catch (...) {
    --updateDepth_;
    throw;
  }
  EndUpdate();
}

void TOskedaModuleOptions::SaveToStream(TStream& stream) const { SaveStoredOptions(stream, o_); }

void TOskedaModuleOptions::LoadFromStream(TStream& stream, int version) {
  TOskedaStoredOptions loaded = o_;
  LoadStoredOptions(stream, version, loaded);
  ApplyStoredOptions(loaded);
}

std::string TOskedaModuleOptions::LogFileName(std::string_view fileName) const {
  std::string name(fileName);
  if (name.empty()) name = ownerModuleName_;
  if (name.empty()) name = Environment().ModuleFileName();
  const bool computerInName = o_.LogFlags.Contains(lfComputerInFileName);
  return BuildLogFileName(name, o_.LogFolder, computerInName,
                          computerInName ? Environment().ComputerName() : std::string());
}

void TOskedaModuleOptions::ApplyStoredOptions(const TOskedaStoredOptions& s) {
  BeginUpdate();
  try {
    o_.FilteredClasses.Assign(s.FilteredClasses.Items());
    o_.FilteredMessages.Assign(s.FilteredMessages.Items());
    SetTexts(s.Texts);
    SetMailSender(s.MailSender);
    SetMailServer(s.MailServer);
    SetMailServerLogin(s.MailServerLogin);
    SetMailServerPassword(s.MailServerPassword);
    SetMailServerPort(s.MailServerPort);
    SetCloseButtonAction(s.CloseButtonAction);
    SetFreezeWatch(s.FreezeWatch);
    SetFreezeSeconds(s.FreezeSeconds);
    SetFreezeText(s.FreezeText);
    SetReportFieldSet(s.ReportFieldSet);
    SetLogSwitch(s.LogSwitch);
    SetFilterEnabled(s.FilterEnabled);
    SetReportInMailBody(s.ReportInMailBody);
    SetCloseButtonEnabled(s.CloseButtonEnabled);
    SetSaveToLog(s.SaveToLog);
    SetLogFlags(s.LogFlags);
    SetSendFlags(s.SendFlags);
    SetFirstTab(s.FirstTab);
    SetLogCapacity(s.LogCapacity);
    SetCloseButtonAfter(s.CloseButtonAfter);
    SetLogFolder(s.LogFolder);
    SetMailRecipients(s.MailRecipients);
    SetMailSubject(s.MailSubject);
    SetMailBodyText(s.MailBodyText);
    SetMailChannel(s.MailChannel);
    SetWebChannel(s.WebChannel);
    SetExtraFiles(s.ExtraFiles);
    SetDialogFlags(s.DialogFlags);
    SetDialogTimeoutSecs(s.DialogTimeoutSecs);
    SetSupportPage(s.SupportPage);
    SetPageTemplate(s.PageTemplate);
    SetCrashAction(s.CrashAction);
    SetCrashCount(s.CrashCount);
    SetCrashWindowMinutes(s.CrashWindowMinutes);
    SetStackFlags(s.StackFlags);
    SetBehaviourFlags(s.BehaviourFlags);
    SetUploadURL(s.UploadURL);
    SetUploadPort(s.UploadPort);
    SetUploadPassword(s.UploadPassword);
    SetUploadLogin(s.UploadLogin);
  } catch (...) {
    --updateDepth_;
    throw;
  }
  EndUpdate();
}
