#include "report/options/EOptionsStream.h"

#include <algorithm>
#include <span>

#include "report/options/EOptionsLegacy.h"

namespace {

void WriteReportFields(TOptionsWriter& w, TReportFieldSet fields) {
  const std::uint64_t bits = fields.Bits();
  w.DWord(static_cast<std::uint32_t>(bits));
  w.Byte(static_cast<std::uint8_t>(bits >> 32));
}

TReportFieldSet ReadReportFields(TOptionsReader& r, int version) {
  if (version >= 500) {
    const std::uint64_t low = r.DWord();
    const std::uint64_t high = r.Byte();
    return TReportFieldSet::FromBits(low | (high << 32));
  }
  TReportFieldSet fields = ConvertLegacyReportFields(r.DWord());
  if (version < 450) r.Skip(1);
  return fields;
}

// Before 450 the stream knew only whether mail was sent; the relay decides how.
TMailChannel LegacyMailChannel(std::uint8_t stored, const std::string& mailServer) {
  if (stored == 0) return mcNone;
  return mailServer.empty() ? mcMailClient : mcSmtpClient;
}

}  // namespace

void SaveStoredOptions(TStream& stream, const TOskedaStoredOptions& o) {
  TOptionsWriter w(stream);
  w.Bool(o.LogSwitch);
  w.Bool(o.FilterEnabled);
  w.Byte(o.LogFlags.Bits());
  w.Bool(o.ReportInMailBody);
  w.Bool(o.SaveToLog);
  w.Byte(o.FirstTab);
  w.Bool(o.FreezeWatch);
  w.Int(o.FreezeSeconds);
  w.Text(o.FreezeText);
  w.Text(o.MailSender);
  w.Text(o.MailServer);
  w.Word(o.MailServerPort);
  w.Text(o.MailServerLogin);
  w.Text(o.MailServerPassword);
  w.Byte(o.CloseButtonAction);
  w.Bool(o.CloseButtonEnabled);
  w.Int(o.LogCapacity);
  w.Int(o.CloseButtonAfter);
  w.Text(o.MailRecipients);
  w.Text(o.MailSubject);
  w.Byte(o.MailChannel);
  WriteReportFields(w, o.ReportFieldSet);
  w.Text(o.LogFolder);
  w.Byte(o.WebChannel);
  w.Text(o.UploadURL);
  w.Text(o.UploadLogin);
  w.Text(o.UploadPassword);
  w.DWord(o.UploadPort);
  w.Text(o.ExtraFiles);
  w.Word(o.SendFlags.Bits());
  w.Byte(o.DialogFlags.Bits());
  w.Int(o.DialogTimeoutSecs);
  w.Text(o.SupportPage);
  w.Text(o.PageTemplate);
  w.Byte(o.StackFlags.Bits());
  w.Byte(o.BehaviourFlags.Bits());
  w.Byte(o.CrashAction);
  w.Int(o.CrashCount);
  w.Int(o.CrashWindowMinutes);
  const int pairs = std::max(o.FilteredClasses.Count(), o.FilteredMessages.Count());
  w.Int(pairs);
  for (int i = 0; i < pairs; ++i) {
    w.Text(i < o.FilteredClasses.Count() ? o.FilteredClasses[i] : std::string());
    w.Text(i < o.FilteredMessages.Count() ? o.FilteredMessages[i] : std::string());
  }
  w.Text(o.MailBodyText);
  for (const std::string& text : o.Texts) w.Text(text);
}

void LoadStoredOptions(TStream& stream, int version, TOskedaStoredOptions& options) {
  const int v = version;
  if (v < OldestOptionsVersion || v > OskedaConfigVersion)
    throw EOptionsStreamError(Format("Unsupported options stream version %d.", v));

  TOskedaStoredOptions o = options;
  TOptionsReader r(stream);
  o.LogSwitch = r.Bool();
  o.FilterEnabled = r.Bool();
  o.LogFlags = TLogFlags::FromBits(r.Byte());
  if (v < 500) {
    // Releases before 450 stored "no dialog" rather than "show dialog".
    const bool stored = r.Bool();
    o.DialogFlags.Set(dfShowDialog, v < 450 ? !stored : stored);
  }
  if (v >= 450 && v < 500) {
    o.SendFlags.Set(sfSendWholeLog, r.Bool());
    o.SendFlags.Set(sfAttachScreenshot, r.Bool());
    o.SendFlags.Set(sfShowSendDialog, r.Bool());
  }
  o.ReportInMailBody = r.Bool();
  if (v > 400) {
    o.SaveToLog = r.Bool();
    o.FirstTab = r.Byte();
  }
  if (v >= 403 && v < 500) o.DialogFlags.Set(dfBannerLook, r.Bool());
  if (v >= 420) {
    o.FreezeWatch = r.Bool();
    const std::int32_t freeze = r.Int();
    o.FreezeSeconds = v < 422 ? freeze / 1000 : freeze;
    o.FreezeText = r.Text();
  }
  if (v >= 450) o.MailSender = r.Text();
  if (v >= 420) o.MailServer = r.Text();
  if (v >= 450) o.MailServerPort = r.Word();
  if (v > 420) {
    o.MailServerLogin = r.Text();
    o.MailServerPassword = r.Text();
    o.CloseButtonAction = static_cast<TCloseButtonAction>(r.Enum(cbaRestart, "CloseButtonAction"));
  }
  o.CloseButtonEnabled = r.Bool();
  o.LogCapacity = r.Int();
  o.CloseButtonAfter = r.Int();
  o.MailRecipients = r.Text();
  o.MailSubject = r.Text();
  if (v < 450) {
    o.MailChannel = LegacyMailChannel(r.Byte(), o.MailServer);
  } else {
    o.MailChannel = static_cast<TMailChannel>(r.Enum(mcSmtpServer, "MailChannel"));
  }
  o.ReportFieldSet = ReadReportFields(r, v);
  o.LogFolder = r.Text();
  if (v >= 500) {
    o.WebChannel = static_cast<TWebChannel>(r.Enum(wcFtp, "WebChannel"));
    o.UploadURL = r.Text();
    o.UploadLogin = r.Text();
    o.UploadPassword = r.Text();
    o.UploadPort = r.DWord();
    o.ExtraFiles = r.Text();
    o.SendFlags = TSendFlags::FromBits(r.Word());
    o.DialogFlags = TDialogFlags::FromBits(r.Byte());
    o.DialogTimeoutSecs = r.Int();
    o.SupportPage = r.Text();
    o.PageTemplate = r.Text();
    o.StackFlags = TStackFlags::FromBits(r.Byte());
    o.BehaviourFlags = TBehaviourFlags::FromBits(r.Byte());
    o.CrashAction = static_cast<TCloseButtonAction>(r.Enum(cbaRestart, "CrashAction"));
    o.CrashCount = r.Int();
    o.CrashWindowMinutes = r.Int();
  }
  // Each pair takes at least its two 4-byte lengths.
  const std::int32_t pairs = r.Count(8, "filter");
  std::vector<std::string> classes, messages;
  classes.reserve(static_cast<std::size_t>(pairs));
  messages.reserve(static_cast<std::size_t>(pairs));
  for (std::int32_t i = 0; i < pairs; ++i) {
    classes.push_back(r.Text());
    messages.push_back(r.Text());
  }
  o.FilteredClasses.Assign(classes);
  o.FilteredMessages.Assign(messages);
  o.MailBodyText = r.Text();
  for (int i = 0; i < CustomizedTextCount; ++i)
    if (CustomizedTextStored(v, i)) o.Texts[static_cast<std::size_t>(i)] = r.Text();

  options = o;
}

TOskedaStoredOptions ParseStoredOptions(const std::uint8_t* data, std::size_t size, int version) {
  TMemoryStream stream(std::span<const std::uint8_t>(data, data ? size : 0));
  TOskedaStoredOptions options;
  LoadStoredOptions(stream, version, options);
  return options;
}
