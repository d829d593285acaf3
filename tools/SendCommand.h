// DialmoorSend: delivers a report text through the mail and web channels that a reporting
// options file configures, the way the reporting subsystem delivers its reports, so that a
// configuration can be checked before it ships and a kept report can be sent again.
#pragma once

#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "delivery/mail/ESmtpSend.h"
#include "delivery/web/EWebSend.h"

struct TSendArguments {
  std::string OptionsFile;
  std::vector<std::string> Files;
  std::string ReportFile;
};

// "--options FILE [--file PATH]... REPORT", the options in any order before or after REPORT;
// nothing for anything else.
std::optional<TSendArguments> ParseSendArguments(const std::vector<std::string>& args);

struct TSendEnvironment {
  TSmtpServices Smtp;
  TWebServices Web;
  std::string TempFolder;  // where the text copy of the report is written, with its separator
  // The time put into the sent file names when the options ask for it: "yyyymmddhhnnss".
  std::function<std::string()> TimeStamp;
};

// The name a file is sent under: its file name, with "_" and the time stamp before the
// extension when stamped is set.
std::string SentFileName(const std::string& path, bool stamped, const std::string& timeStamp);

// 0 delivered, 1 not delivered (the recorded delivery error line is written to out), 2 for bad
// arguments or an options or report file that cannot be read (a message to err).
int RunSendCommand(const std::vector<std::string>& args, const TSendEnvironment& environment,
                   std::ostream& out, std::ostream& err);
