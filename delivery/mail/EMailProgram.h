// Handing the report to the machine's mail program: through Simple MAPI of the default mail
// client, or, when that fails, by starting the program registered for "mailto:" links.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct TMailProgramMessage {
  std::string Recipients;  // separated by "," or ";"
  std::string Subject;
  std::string Body;
  // Full paths: the extra files first, then the attachments. Empty entries and files that do
  // not exist are left out.
  std::vector<std::string> Files;
  // The name the receiver sees for each file; a missing or empty entry shows the file's own name.
  std::vector<std::string> FileNames;
};

struct TMailProgramSettings {
  bool ShowSendDialog = false;  // sfShowSendDialog: the mail client shows its compose window
  // The program's main thread: only there is the main window given to MAPI as the parent of its
  // dialogs. 0 when unknown.
  std::uint32_t MainThreadId = 0;
};

// Sends the message through the MAPI library of the default mail client ("DLLPath" under the
// current user, else the machine; else "mapi32.dll"). True when sent or cancelled by the user.
// A failure is recorded as the delivery error eeEmailMAPIError.
bool SendEmailByMAPI(const TMailProgramMessage& message, const TMailProgramSettings& settings);

// Starts the "mailto:" handler with the recipients, the subject and the body followed by three
// line breaks and reportText, and waits until it ends. Files are not carried. True when the
// program ran and its exit code could be read; a program that cannot be started is recorded as
// eeEmailShellError with the system's message.
bool SendEmailByShell(const TMailProgramMessage& message, std::string_view reportText);
