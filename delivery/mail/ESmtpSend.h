// Sending the report mail: one SMTP dialogue per recipient, through the relay or straight to
// each recipient's mail exchanger.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "delivery/mail/EDeliveryError.h"
#include "delivery/mail/EMimeMessage.h"
#include "delivery/mail/ESendStatus.h"
#include "delivery/mail/ESocketTransport.h"

struct TSmtpMail {
  bool DirectMX = false;  // to each recipient's mail exchanger, without login
  std::string From;
  std::string SmtpHost;
  std::vector<std::string> Attachments;
  std::vector<std::string> ExtraFiles;
  std::string Body;        // the message text of the plain-text part
  std::string Subject;
  std::string Recipients;  // separated by "," or ";"
  std::string Password;
  std::string UserID;
  std::uint16_t Port = 25;
};

// What a send needs of the machine; PlatformSmtpServices gives the real ones.
struct TSmtpServices {
  std::function<std::unique_ptr<ISocketTransport>()> NewSocket;
  IWaitClock* Clock = nullptr;
  IMailFileSource* Files = nullptr;
  ISendStatus* Status = nullptr;
  IDeliveryErrorOutput* ErrorOutput = nullptr;
  std::function<std::string()> LocalHostName;
  // The Date header for the sending time.
  std::function<std::string()> MailDate;
  // The exchanger of the address's domain; raises EOskedaSocketError when none is found.
  std::function<std::string(const std::string& address, std::uint32_t timeoutMs)> ResolveMX;
  // Customised texts by index (77 to 80 are the status lines).
  std::function<std::string(int index)> Text;
};

TSmtpServices PlatformSmtpServices();

inline constexpr std::uint32_t SmtpTimeoutMs = 30000;
inline constexpr std::uint32_t MXLookupTimeoutMs = 30000;

// One dialogue for `mail.Recipients`, taken as one address. True when the server accepted the
// message; a failure is recorded as the delivery error (SMTP).
bool SendSMTPMessage(const TSmtpMail& mail, const TSmtpServices& services);

// Every recipient in turn; true when at least one accepted the message.
bool SendEmailBySMTP(const TSmtpMail& mail, const TSmtpServices& services);
