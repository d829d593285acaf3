#include "delivery/send/ESendServicesWin32.h"

void BindMailProgram(TSendServices& services, const TMailProgramSettings& settings) {
  services.SendByMAPI = [settings](const TMailProgramMessage& message) {
    return SendEmailByMAPI(message, settings);
  };
  services.SendByShell = [](const TMailProgramMessage& message, std::string_view reportText) {
    return SendEmailByShell(message, reportText);
  };
}
