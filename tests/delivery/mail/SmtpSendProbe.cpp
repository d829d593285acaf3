// Sends one report mail the way the reporting subsystem does, for the relay tests:
// SmtpSendProbe [--direct] [--user U] [--password P] [--file PATH]... HOST PORT FROM RECIPIENTS
// BODYFILE. Prints the recorded delivery error, exits 0 when a recipient accepted the mail.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "delivery/mail/ESmtpSend.h"

int main(int argc, char** argv) {
  TSmtpMail mail;
  std::vector<std::string> positional;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--direct") {
      mail.DirectMX = true;
    } else if (i + 1 < argc && arg == "--user") {
      mail.UserID = argv[++i];
    } else if (i + 1 < argc && arg == "--password") {
      mail.Password = argv[++i];
    } else if (i + 1 < argc && arg == "--file") {
      mail.Attachments.push_back(argv[++i]);
    } else {
      positional.push_back(arg);
    }
  }
  if (positional.size() != 5) {
    std::fprintf(stderr, "usage: SmtpSendProbe [options] HOST PORT FROM RECIPIENTS BODYFILE\n");
    return 2;
  }
  mail.SmtpHost = positional[0];
  mail.Port = static_cast<std::uint16_t>(std::atoi(positional[1].c_str()));
  mail.From = positional[2];
  mail.Recipients = positional[3];
  std::ifstream body(positional[4], std::ios::binary);
  mail.Body.assign(std::istreambuf_iterator<char>(body), std::istreambuf_iterator<char>());
  mail.Subject = "Dialmoor error report";
  ResetDeliveryError();
  const bool sent = SendEmailBySMTP(mail, PlatformSmtpServices());
  const TDeliveryError error = LastDeliveryError();
  if (error.Code != eeNone) std::printf("%s\n", error.Text.c_str());
  std::fflush(stdout);
  return sent ? 0 : 1;
}
