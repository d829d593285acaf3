#include "delivery/mail/ESmtpSend.h"

#include "delivery/mail/EBase64.h"
#include "delivery/mail/EMailText.h"
#include "delivery/mail/ESockets.h"

namespace {

constexpr int TextResolving = 77;
constexpr int TextConnecting = 78;
constexpr int TextConnected = 79;
constexpr int TextSending = 80;

void RecordSmtpError(const TSmtpServices& services) {
  RecordDeliveryError(eeEmailSMTPError, "SMTP", services.Status->DialogShowing(),
                      *services.ErrorOutput);
}

bool Dialogue(const TSmtpMail& mail, const TSmtpServices& services) {
  ISendStatus& status = *services.Status;
  status.SetSendStatus(services.Text(TextConnecting));
  TOskedaClientSMTP client(services.NewSocket(), *services.Clock, mail.SmtpHost, mail.Port, true,
                           SmtpTimeoutMs);
  client.Connect();
  const std::string mimeBody = BuildMimeBody(
      mail.Body, BuildAttachmentParts(*services.Files, mail.Attachments, mail.ExtraFiles));
  const std::string localHost = services.LocalHostName();
  status.SetSendStatus(services.Text(TextConnected));
  bool ready;
  if (!mail.UserID.empty() || !mail.Password.empty()) {
    ready = client.SendCommand("EHLO " + localHost, {250}) && client.SendCommand("RSET", {250}) &&
            client.SendCommand("AUTH LOGIN", {334}) &&
            client.SendCommand(Base64Encode(mail.UserID), {334}) &&
            client.SendCommand(Base64Encode(mail.Password), {235}) &&
            client.SendCommand("MAIL FROM:<" + mail.From + ">", {250});
  } else {
    ready = client.SendCommand("HELO " + localHost, {250}) && client.SendCommand("RSET", {250}) &&
            client.SendCommand("MAIL FROM:<" + mail.From + ">", {250});
  }
  status.SetSendStatus(services.Text(TextSending));
  const std::string text = BuildMailMessageText(
      {services.MailDate(), mail.From, mail.Subject, mail.Recipients, services.Clock->TickCount()},
      mimeBody);
  bool accepted = false;
  if (ready && client.SendCommand("RCPT TO:<" + mail.Recipients + ">", {250, 251}) &&
      client.SendCommand("DATA", {354})) {
    if (status.DialogShowing())
      client.OnSendProgress = [&status](TOskedaClientSocket&, int position, int total) {
        status.SetSendProgress(total > 0 ? static_cast<int>(static_cast<long long>(position) * 100 / total) : 0);
      };
    accepted = client.SendCommand(text, {250});
    client.OnSendProgress = nullptr;
  }
  return accepted;
}

}  // namespace

bool SendSMTPMessage(const TSmtpMail& mail, const TSmtpServices& services) {
  try {
    return Dialogue(mail, services);
  } catch (...) {
    RecordSmtpError(services);
    return false;
  }
}

bool SendEmailBySMTP(const TSmtpMail& mail, const TSmtpServices& services) {
  ISendStatus& status = *services.Status;
  bool result = false;
  try {
    const std::vector<std::string> recipients = SplitAddressList(mail.Recipients);
    const int count = static_cast<int>(recipients.size());
    status.SetSendCounters(0, count);
    for (int i = 0; i < count; ++i) {
      status.SetSendProgress(0);
      status.SetSendCounters(i + 1, count);
      TSmtpMail one = mail;
      one.Recipients = recipients[static_cast<std::size_t>(i)];
      if (mail.DirectMX) {
        status.SetSendStatus(services.Text(TextResolving));
        // A domain without an exchanger fails its own recipient only: the others are still
        // tried, and a mail already delivered still counts.
        try {
          one.SmtpHost = services.ResolveMX(one.Recipients, MXLookupTimeoutMs);
        } catch (...) {
          RecordSmtpError(services);
          continue;
        }
        one.UserID.clear();
        one.Password.clear();
      }
      result = SendSMTPMessage(one, services) || result;
    }
  } catch (...) {
    result = false;
    RecordSmtpError(services);
  }
  status.EndSendDialog();
  return result;
}
