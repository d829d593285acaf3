// The "mailto:" route: the handler registered for mailto links, started with the prepared
// address, brought to the front and waited for.
#include "platform/win/WinApi.h"

#include <vector>

#include "delivery/mail/EDeliveryError.h"
#include "delivery/mail/EMailProgram.h"
#include "delivery/mail/EMailProgramWin32.h"
#include "delivery/mail/EMailtoText.h"
#include "platform/win/UniqueHandle.h"

namespace {

constexpr DWORD IdleWaitMs = 10000;
constexpr DWORD SettleMs = 2000;

}  // namespace

bool SendEmailByShell(const TMailProgramMessage& message, std::string_view reportText) {
  const std::string handler = ExpandEnvironment(
      ReadRegistryText(HKEY_CLASSES_ROOT, "mailto\\shell\\open\\command", nullptr));
  const std::string command = MailtoCommandLine(
      handler, MailtoAddress(message.Recipients, message.Subject, message.Body, reportText));
  std::vector<char> commandLine(command.begin(), command.end());
  commandLine.push_back('\0');
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWMAXIMIZED;
  PROCESS_INFORMATION started{};
  if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE,
                      CREATE_DEFAULT_ERROR_MODE | NORMAL_PRIORITY_CLASS, nullptr, nullptr, &startup,
                      &started)) {
    StoreDeliveryError(eeEmailShellError, SystemErrorText(GetLastError()), false,
                       PlatformDeliveryErrorOutput());
    return false;
  }
  const UniqueKernelHandle process(started.hProcess);
  const UniqueKernelHandle thread(started.hThread);
  // The mail program gets time to open its compose window before it is put on top.
  WaitForInputIdle(process.get(), IdleWaitMs);
  Sleep(SettleMs);
  if (const HWND window = MainWindowOfProcess(started.dwProcessId))
    SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  DWORD exitCode = 0;
  return WaitForSingleObject(process.get(), INFINITE) == WAIT_OBJECT_0 &&
         GetExitCodeProcess(process.get(), &exitCode);
}
