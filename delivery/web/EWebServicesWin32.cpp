// The machine's side of a web delivery: WinInet's uploads and the customised texts of the
// options in force.
#include "delivery/web/EWebSend.h"
#include "report/options/ECoreOptions.h"
#include "report/options/ECurrentOptions.h"
#include "report/options/ECustomizedTexts.h"

TWebServices PlatformWebServices() {
  TWebServices services;
  services.Http = HttpUpload;
  services.Ftp = FtpUpload;
  services.Status = &NoSendDialog();
  services.ErrorOutput = &PlatformDeliveryErrorOutput();
  services.Text = [](int index) {
    if (TOskedaModuleOptions* options = FindCurrentOskedaLogOptions()) return options->GetText(index);
    return std::string(DefaultCustomizedText(index));
  };
  return services;
}
