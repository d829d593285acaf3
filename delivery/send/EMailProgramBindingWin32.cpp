// The mail-program route (the mail client's library, then its mailto command) is built beside
// this sequence; until it is joined here the route reports honestly that it is missing.
#include "delivery/mail/EDeliveryError.h"
#include "delivery/send/ESendServicesWin32.h"

void BindMailProgram(TSendServices& services) {
  services.SendByMAPI = [](const TMailProgramMessage&) {
    StoreDeliveryError(eeEmailMAPIError,
                       "[MAPI] Delivery through the mail program is not available.", false,
                       PlatformDeliveryErrorOutput());
    return false;
  };
  services.SendByShell = [](const TMailProgramMessage&) { return false; };
}
