// Hands a report to the mail program the way the delivery sequence does: MAPI first, the mailto
// handler only when MAPI failed. Prints each recorded error; exit code 0 when delivered.
// MailProgramDriver [--show-dialog] [--window [--other-thread]] [--file PATH [--name SHOWN]]...
//   RECIPIENTS SUBJECTFILE BODYFILE REPORTFILE
#include "platform/win/WinApi.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

#include "delivery/mail/EDeliveryError.h"
#include "delivery/mail/EMailProgram.h"

namespace {

std::string ReadFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

void PrintError(const char* route) {
  const TDeliveryError error = LastDeliveryError();
  const std::string name(DeliveryErrorCodeName(error.Code));
  std::printf("%s failed: %s %s\n", route, name.c_str(), error.Text.c_str());
}

}  // namespace

int main(int argc, char** argv) {
  TMailProgramMessage message;
  TMailProgramSettings settings;
  bool window = false;
  bool otherThread = false;
  std::vector<std::string> positional;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--show-dialog") {
      settings.ShowSendDialog = true;
    } else if (arg == "--window") {
      window = true;
    } else if (arg == "--other-thread") {
      otherThread = true;
    } else if (i + 1 < argc && arg == "--file") {
      message.Files.push_back(argv[++i]);
      message.FileNames.resize(message.Files.size());
    } else if (i + 1 < argc && arg == "--name" && !message.Files.empty()) {
      message.FileNames.back() = argv[++i];
    } else {
      positional.push_back(arg);
    }
  }
  if (positional.size() != 4) {
    std::fprintf(stderr,
                 "usage: MailProgramDriver [options] RECIPIENTS SUBJECTFILE BODYFILE "
                 "REPORTFILE\n");
    return 2;
  }
  message.Recipients = positional[0];
  message.Subject = ReadFile(positional[1]);
  message.Body = ReadFile(positional[2]);
  const std::string report = ReadFile(positional[3]);
  if (window) {
    // The program's main window, on the thread that counts as its main thread.
    CreateWindowExA(0, "STATIC", "Dialmoor", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100,
                    nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    settings.MainThreadId = GetCurrentThreadId();
  }
  ResetDeliveryError();
  bool delivered = false;
  const auto deliver = [&] {
    delivered = SendEmailByMAPI(message, settings);
    if (delivered) return;
    PrintError("MAPI");
    delivered = SendEmailByShell(message, report);
    if (!delivered) PrintError("shell");
  };
  if (otherThread) {
    std::thread(deliver).join();
  } else {
    deliver();
  }
  std::fflush(stdout);
  return delivered ? 0 : 1;
}
