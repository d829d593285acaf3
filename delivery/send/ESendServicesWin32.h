// The machine's side of a delivery: the temporary folder, files, the clipboard, message boxes,
// SMTP and WinInet, and the mail program.
#pragma once

#include "delivery/send/ESendServices.h"

// startSendDialog: what the SMTP and web senders report to (the send-progress dialog).
TSendServices PlatformSendServices(std::function<ISendStatus&()> startSendDialog, bool cgiProgram);

// The one place where the mail program's two routes are bound into the services.
void BindMailProgram(TSendServices& services);
