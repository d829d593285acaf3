// The send lab: a window program built with the reporting subsystem that raises one exception
// through the application's dispatch point and lets the configured delivery send the report,
// so that the tests can look at what the servers received. It notes on standard error what
// the delivery events and the send-progress dialog showed, with wall-clock times in
// milliseconds since 1970.
//   SendLab.exe --options FILE CASE      CASE: throw, dialog
// SENDLAB_RETRIES=n: the error handler asks for n more attempts in all.
// SENDLAB_ATTACH=path: the attached-files handler adds that file.
// SENDLAB_SHOT=path: the dialog case saves a screenshot of the send-progress dialog there.
#include "platform/win/WinApi.h"

#include <atomic>
#include <commctrl.h>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>

#include "delivery/package/EScreenCaptureWin32.h"
#include "delivery/send/EAttachments.h"
#include "delivery/send/ESendDialogWin32.h"
#include "platform/gui/Application.h"
#include "platform/win/UniqueHandle.h"
#include "report/capture/EExceptionManagerWin32.h"
#include "report/capture/EInterceptWin32.h"
#include "report/capture/EOskedaEvents.h"
#include "report/options/ECoreOptions.h"
#include "tests/report/capture/LabOptionsWin32.h"

namespace {

// Standard error through the handle itself: a window program has no console of its own.
void Note(const char* format, ...) {
  char line[1024];
  va_list args;
  va_start(args, format);
  const int n = std::vsnprintf(line, sizeof line - 2, format, args);
  va_end(args);
  const DWORD length = static_cast<DWORD>(std::min<int>(std::max(n, 0), sizeof line - 2));
  line[length] = '\n';
  DWORD written = 0;
  WriteFile(GetStdHandle(STD_ERROR_HANDLE), line, length + 1, &written, nullptr);
}

long long UnixMs() {
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  const long long ticks = (static_cast<long long>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
  return ticks / 10000 - 11644473600000LL;
}

std::string Environment(const char* name) {
  char value[MAX_PATH] = {};
  const DWORD n = GetEnvironmentVariableA(name, value, sizeof value);
  return n < sizeof value ? std::string(value, n) : std::string();
}

class TLabHandler : public TOskedaLogHandler {
 public:
  TLabHandler() : retries_(std::atoi(Environment("SENDLAB_RETRIES").c_str())) {
    RegisterOskedaLogHandler(this);
  }
  void ExceptionActionNotify(const TOskedaExceptionRecord& record, int action, bool&) override {
    Note("action %d on the %s thread", action, Thread(record));
  }
  void ExceptionErrorNotify(const TOskedaExceptionRecord&, int action, const std::string& message,
                            bool& retry) override {
    Note("error %d: %s", action, message.c_str());
    if (retries_ > 0) {
      --retries_;
      retry = true;
    }
  }
  void AttachedFilesRequest(const TOskedaExceptionRecord&, std::vector<std::string>& files) override {
    const std::string extra = Environment("SENDLAB_ATTACH");
    if (!extra.empty()) files.push_back(extra);
  }

 private:
  static const char* Thread(const TOskedaExceptionRecord& record) {
    return record.ThreadId == GetCurrentThreadId() ? "faulting" : "other";
  }
  int retries_;
};

class TLabForm : public TObject {
 public:
  __attribute__((noinline)) void SendClick(TObject*) { throw Exception("SendLab failure"); }
};

// The face of the status line's font, as the control hands it out.
std::string StatusFontFace(HWND dialog) {
  const auto font = reinterpret_cast<HFONT>(
      SendDlgItemMessageA(dialog, SendDialogStatusItem, WM_GETFONT, 0, 0));
  LOGFONTA description{};
  if (!font || !GetObjectA(font, sizeof description, &description)) return "none";
  return description.lfFaceName;
}

// The colour on the screen in the caption bar: a few pixels inside the client area's left edge
// and above its top, clear of the caption text and of the bar's frame lines.
COLORREF CaptionPixel(HWND dialog) {
  POINT client{4, -4};
  ClientToScreen(dialog, &client);
  const WindowDC screen(nullptr);
  return GetPixel(screen.get(), client.x, client.y);
}

// Watches the send-progress dialog from outside, as a user would see it: its status line, its
// bar, whether it stays on top, and once the bar has moved, its status font, its caption bar's
// colour and one screenshot.
void WatchSendDialog(std::atomic<bool>& stop, const std::string& shot) {
  std::string lastStatus;
  int lastPosition = -1;
  bool seen = false, shotTaken = false;
  while (!stop) {
    HWND dialog = FindWindowA(nullptr, "Send.");
    if (!dialog) {
      if (seen) {
        Note("dialog closed");
        seen = false;
      }
      Sleep(2);
      continue;
    }
    if (!seen) {
      seen = true;
      Note("dialog shown, top-most %d",
           (GetWindowLongA(dialog, GWL_EXSTYLE) & WS_EX_TOPMOST) ? 1 : 0);
    }
    char status[256] = {};
    GetDlgItemTextA(dialog, SendDialogStatusItem, status, sizeof status);
    const int position = static_cast<int>(
        SendDlgItemMessageA(dialog, SendDialogProgressItem, PBM_GETPOS, 0, 0));
    if (status != lastStatus) Note("status %s", status);
    if (position != lastPosition) Note("bar %d", position);
    lastStatus = status;
    lastPosition = position;
    if (!shotTaken && !shot.empty() && position >= 20) {
      shotTaken = true;
      const COLORREF caption = CaptionPixel(dialog);
      Note("status font %s", StatusFontFace(dialog).c_str());
      Note("caption pixel %d %d %d", GetRValue(caption), GetGValue(caption), GetBValue(caption));
      TScreenCapture capture;
      Note("screenshot %d", capture.CaptureScreen(false, std::nullopt) &&
                                capture.SaveScreenshotPNG(shot));
    }
    Sleep(2);
  }
}

}  // namespace

int main(int argc, char** argv) {
  StartOskedaExceptionLog();
  std::string error;
  if (argc != 4 || std::strcmp(argv[1], "--options") != 0 || !LoadLabOptionsFile(argv[2], error)) {
    if (!error.empty()) Note("SendLab: %s", error.c_str());
    Note("usage: SendLab.exe --options FILE CASE");
    return 2;
  }
  const std::string name = argv[3];
  if (name != "throw" && name != "dialog") {
    Note("SendLab: unknown case %s", name.c_str());
    return 2;
  }
  TLabHandler handler;
  TApplication app;
  TLabForm form;
  std::atomic<bool> stop{false};
  std::thread watcher;
  if (name == "dialog")
    watcher = std::thread([&] { WatchSendDialog(stop, Environment("SENDLAB_SHOT")); });
  Note("fault %lld", UnixMs());
  app.Dispatch(&form, [&] { form.SendClick(&form); });
  Note("went on %lld", UnixMs());
  // A background delivery holds the reporting section until it is done; it takes it as soon as
  // the dispatcher has let go.
  Sleep(200);
  EnterCriticalSection(&OskedaReportingSection());
  LeaveCriticalSection(&OskedaReportingSection());
  Note("delivery over %lld", UnixMs());
  Sleep(name == "dialog" ? 300 : 0);
  stop = true;
  if (watcher.joinable()) watcher.join();
  return 0;
}
