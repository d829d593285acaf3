// The machine's side of a mail send: sockets, clock, files, host name, DNS servers and the
// customised texts of the options in force.
#include "platform/win/WinApi.h"
#include <winsock.h>

#include "delivery/mail/EMailText.h"
#include "delivery/mail/EMxLookup.h"
#include "delivery/mail/ESmtpSend.h"
#include "platform/DateTime.h"
#include "platform/TimeServices.h"
#include "report/options/ECoreOptions.h"
#include "report/options/ECurrentOptions.h"
#include "report/options/ECustomizedTexts.h"

namespace {

std::string LocalHostName() {
  char name[250] = {};
  if (gethostname(name, sizeof name - 1) != 0) return {};
  return name;
}

std::string CustomizedText(int index) {
  if (TOskedaModuleOptions* options = FindCurrentOskedaLogOptions())
    return options->GetText(index);
  return std::string(DefaultCustomizedText(index));
}

}  // namespace

TSmtpServices PlatformSmtpServices() {
  TSmtpServices services;
  services.NewSocket = NewPlatformSocket;
  services.Clock = &PlatformWaitClock();
  services.Files = &PlatformMailFiles();
  services.Status = &NoSendDialog();
  services.ErrorOutput = &PlatformDeliveryErrorOutput();
  services.LocalHostName = LocalHostName;
  services.MailDate = [] {
    return FormatMailDate(SystemTimeToDateTime(TimeServices().GetLocalTime()));
  };
  services.ResolveMX = [](const std::string& address, std::uint32_t timeoutMs) {
    return ResolveMXHost(address, timeoutMs,
                         {NewPlatformSocket, &PlatformWaitClock(), GetDnsServerList});
  };
  services.Text = CustomizedText;
  return services;
}
