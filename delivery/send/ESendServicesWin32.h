// The machine's side of a delivery: the temporary folder, files, the clipboard, message boxes,
// SMTP and WinInet, and the mail program.
#pragma once

#include "delivery/send/ESendServices.h"

// startSendDialog: what the SMTP and web senders report to (the send-progress dialog).
TSendServices PlatformSendServices(std::function<ISendStatus&()> startSendDialog, bool cgiProgram);

// The mail program's two routes: its MAPI library, then its "mailto:" command.
void BindMailProgram(TSendServices& services, const TMailProgramSettings& settings);
