// Drives a test copy of Dialmoor.exe (DM_DIALMOOR_EXE) through a freeze of its main thread as a
// user would meet it: the main thread is stopped from outside until the error window shows, the
// window's OK is pressed with the send box checked, and the thread runs again. What the program
// leaves in its folder (log, kept archives), the message boxes it shows and its debugger output
// are copied to OUTDIR for delivery_check.py, which also reads what the relay and the upload
// server received.
//
// DeliveryDriver deliver OUTDIR RELAYDIR WEBDIR: a freeze delivered, then the same freeze again.
// DeliveryDriver unsent OUTDIR: a freeze whose delivery fails; the boxes are answered.
#include "platform/win/WinApi.h"

#include <tlhelp32.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "platform/win/UniqueHandle.h"
#include "tests/app/ClockProcessWin32.h"

namespace {

constexpr char kErrorCaption[] = "Dialmoor - Error.";
// The error window's controls.
constexpr int kOkButton = 2;
constexpr int kSendBox = 3000;
constexpr int kScreenshotBox = 4000;

bool failed = false;

void Check(bool condition, const std::string& what) {
  std::printf("%s: %s\n", condition ? "ok" : "FAIL", what.c_str());
  std::fflush(stdout);
  if (!condition) failed = true;
}

std::filesystem::path WindowsPath(std::string path) {
  if (!path.empty() && path[0] == '/') path = "Z:" + path;
  for (char& c : path)
    if (c == '/') c = '\\';
  return path;
}

int ThreadCount(DWORD pid) {
  UniqueKernelHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
  if (!snapshot || snapshot.get() == INVALID_HANDLE_VALUE) return -1;
  THREADENTRY32 entry{};
  entry.dwSize = sizeof entry;
  int count = 0;
  for (BOOL more = Thread32First(snapshot.get(), &entry); more;
       more = Thread32Next(snapshot.get(), &entry))
    if (entry.th32OwnerProcessID == pid) ++count;
  return count;
}

// The reporting sequence runs on a thread of its own that ends with it: once the count has not
// moved for a while, no report is under way.
int SettledThreadCount(DWORD pid) {
  int count = ThreadCount(pid), same = 0;
  for (int i = 0; i < 600 && same < 30; ++i) {
    Sleep(100);
    const int now = ThreadCount(pid);
    same = now == count ? same + 1 : 0;
    count = now;
  }
  return count;
}

bool WaitForThreadsBackTo(DWORD pid, int count) {
  for (int i = 0; i < 900; ++i) {
    if (ThreadCount(pid) <= count) return true;
    Sleep(100);
  }
  return false;
}

// Stops the clock's main thread from outside, as a hang of its own would; resumed on every path.
class TStoppedThread {
 public:
  explicit TStoppedThread(DWORD threadId)
      : thread_(OpenThread(THREAD_SUSPEND_RESUME | THREAD_GET_CONTEXT, FALSE, threadId)) {}
  ~TStoppedThread() { Resume(); }
  TStoppedThread(const TStoppedThread&) = delete;
  TStoppedThread& operator=(const TStoppedThread&) = delete;

  // The instruction it was stopped at, or 0 when it could not be stopped.
  DWORD Stop() {
    if (!thread_ || SuspendThread(thread_.get()) == static_cast<DWORD>(-1)) return 0;
    stopped_ = true;
    CONTEXT context{};
    context.ContextFlags = CONTEXT_CONTROL;
    return GetThreadContext(thread_.get(), &context) ? context.Eip : 0;
  }
  // A freeze is the same error again only when the thread stands at the same instruction: the
  // thread is let go and stopped again until it does.
  bool StopAt(DWORD eip) {
    for (int attempt = 0; attempt < 200; ++attempt) {
      if (Stop() == eip) return true;
      Resume();
      Sleep(37);
    }
    return false;
  }
  void Resume() {
    if (stopped_) ResumeThread(thread_.get());
    stopped_ = false;
  }

 private:
  UniqueKernelHandle thread_;
  bool stopped_ = false;
};

HWND WaitForErrorWindow(const ClockProcess& clock) {
  for (int i = 0; i < 6; ++i)
    if (HWND w = clock.WaitForWindow("#32770", kErrorCaption)) return w;
  return nullptr;
}

bool WaitUntilGone(HWND window) {
  for (int i = 0; i < 2000 && IsWindow(window); ++i) Sleep(10);
  return !IsWindow(window);
}

bool BoxChecked(HWND dialog, int id) {
  HWND box = GetDlgItem(dialog, id);
  return box && IsWindowVisible(box) &&
         SendMessageA(box, BM_GETCHECK, 0, 0) == static_cast<LRESULT>(BST_CHECKED);
}

void PressOk(HWND dialog) {
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(kOkButton, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, kOkButton)));
}

// One freeze: stopped until the error window shows, OK pressed, thread let go. Returns whether
// the window offered the send box (checked) and the screenshot box (checked).
struct TFreezeSeen {
  bool Shown = false;
  bool SendChecked = false;
  bool ScreenshotChecked = false;
};

TFreezeSeen Freeze(const ClockProcess& clock, TStoppedThread& thread) {
  TFreezeSeen seen;
  HWND error = WaitForErrorWindow(clock);
  if (!error) {
    thread.Resume();
    return seen;
  }
  seen.Shown = true;
  seen.SendChecked = BoxChecked(error, kSendBox);
  seen.ScreenshotChecked = BoxChecked(error, kScreenshotBox);
  PressOk(error);
  WaitUntilGone(error);
  thread.Resume();
  return seen;
}

int CountFiles(const std::filesystem::path& folder, const std::string& extension) {
  int n = 0;
  std::error_code ignored;
  for (const auto& entry : std::filesystem::directory_iterator(folder, ignored))
    if (entry.path().extension() == extension) ++n;
  return n;
}

bool WaitForFiles(const std::filesystem::path& folder, const std::string& extension, int count) {
  for (int i = 0; i < 600; ++i) {
    if (CountFiles(folder, extension) >= count) return true;
    Sleep(100);
  }
  return false;
}

// The program's folder as it stands: the listing and a copy of its log and kept archives.
void CopyProgramFiles(const ClockProcess& clock, const std::filesystem::path& out,
                      const std::string& logCopyName) {
  std::ofstream listing(out / (logCopyName + ".files"));
  std::error_code ignored;
  for (const auto& entry : std::filesystem::directory_iterator(clock.Folder().Path(), ignored)) {
    const std::string name = entry.path().filename().string();
    listing << name << "\n";
    if (name == "Dialmoor.osk")
      std::filesystem::copy_file(entry.path(), out / (logCopyName + ".osk"),
                                 std::filesystem::copy_options::overwrite_existing, ignored);
    else if (entry.path().extension() == ".tgz")
      std::filesystem::copy_file(entry.path(), out / name,
                                 std::filesystem::copy_options::overwrite_existing, ignored);
  }
}

std::string WindowText(HWND window) {
  char text[1024] = {};
  SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                      SMTO_ABORTIFHUNG, 5000, nullptr);
  return text;
}

struct TBoxSearch {
  DWORD Pid;
  std::vector<HWND> Found;
};

BOOL CALLBACK CollectBox(HWND w, LPARAM p) {
  auto* s = reinterpret_cast<TBoxSearch*>(p);
  DWORD pid = 0;
  GetWindowThreadProcessId(w, &pid);
  char cls[64] = {};
  GetClassNameA(w, cls, sizeof cls);
  if (pid == s->Pid && IsWindowVisible(w) && std::string(cls) == "#32770") s->Found.push_back(w);
  return TRUE;
}

BOOL CALLBACK CollectStaticText(HWND w, LPARAM p) {
  char cls[64] = {};
  GetClassNameA(w, cls, sizeof cls);
  if (std::string(cls) == "Static") {
    const std::string text = WindowText(w);
    if (!text.empty()) *reinterpret_cast<std::string*>(p) += text + " ";
  }
  return TRUE;
}

// The system-wide debug output monitor: the program's debugger lines (among them each recorded
// delivery error) are written to OUTDIR/debug.txt while the monitor lives.
class TDebugOutputMonitor {
 public:
  explicit TDebugOutputMonitor(const std::filesystem::path& file)
      : out_(file, std::ios::binary),
        bufferReady_(CreateEventA(nullptr, FALSE, TRUE, "DBWIN_BUFFER_READY")),
        dataReady_(CreateEventA(nullptr, FALSE, FALSE, "DBWIN_DATA_READY")),
        stop_(CreateEventA(nullptr, TRUE, FALSE, nullptr)),
        mapping_(CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, kSize,
                                    "DBWIN_BUFFER")) {
    if (mapping_) view_ = MapViewOfFile(mapping_.get(), FILE_MAP_READ, 0, 0, kSize);
    if (view_ && bufferReady_ && dataReady_ && stop_)
      thread_.reset(CreateThread(nullptr, 0, &Run, this, 0, nullptr));
  }
  ~TDebugOutputMonitor() {
    if (thread_) {
      SetEvent(stop_.get());
      WaitForSingleObject(thread_.get(), INFINITE);
    }
    if (view_) UnmapViewOfFile(view_);
  }
  TDebugOutputMonitor(const TDebugOutputMonitor&) = delete;
  TDebugOutputMonitor& operator=(const TDebugOutputMonitor&) = delete;

 private:
  static constexpr DWORD kSize = 4096;
  static DWORD WINAPI Run(void* self) {
    auto* m = static_cast<TDebugOutputMonitor*>(self);
    const HANDLE waits[] = {m->stop_.get(), m->dataReady_.get()};
    while (WaitForMultipleObjects(2, waits, FALSE, INFINITE) == WAIT_OBJECT_0 + 1) {
      const char* text = static_cast<const char*>(m->view_) + sizeof(DWORD);
      m->out_ << std::string(text, strnlen(text, kSize - sizeof(DWORD))) << "\n";
      m->out_.flush();
      SetEvent(m->bufferReady_.get());
    }
    return 0;
  }

  std::ofstream out_;
  UniqueKernelHandle bufferReady_, dataReady_, stop_, mapping_, thread_;
  void* view_ = nullptr;
};

int Deliver(const std::filesystem::path& out, const std::filesystem::path& relay,
            const std::filesystem::path& web) {
  ClockProcess clock;
  if (!clock.Start() || !clock.WaitForTick()) {
    Check(false, "the clock started");
    return 1;
  }
  const DWORD pid = clock.ProcessId();
  SettledThreadCount(pid);
  const RECT bounds = clock.Bounds();
  std::ofstream(out / "clock.txt") << bounds.left << " " << bounds.top << " " << bounds.right
                                   << " " << bounds.bottom << "\n";
  const DWORD mainThread = GetWindowThreadProcessId(clock.Window(), nullptr);
  TStoppedThread thread(mainThread);
  const DWORD eip = thread.Stop();
  Check(eip != 0, "the main thread stopped");
  const TFreezeSeen first = Freeze(clock, thread);
  Check(first.Shown, "the first freeze shows the error window");
  if (!first.Shown) return 1;
  Check(first.SendChecked && first.ScreenshotChecked, "send and screenshot boxes checked");
  Check(WaitForFiles(relay, ".eml", 1), "the relay received the mail");
  Check(WaitForFiles(web, ".body", 1), "the upload server received the upload");
  const int settled = SettledThreadCount(pid);
  CopyProgramFiles(clock, out, "first");

  Check(thread.StopAt(eip), "the main thread stopped at the same instruction again");
  const TFreezeSeen second = Freeze(clock, thread);
  Check(second.Shown, "the second freeze shows the error window");
  if (!second.Shown) return 1;
  // A report already made is neither sent again nor offered for sending.
  Check(!second.SendChecked, "no send box for the same error again");
  Check(WaitForThreadsBackTo(pid, settled), "the second report came to its end");
  SettledThreadCount(pid);
  CopyProgramFiles(clock, out, "second");
  DWORD exitCode = 1;
  Check(clock.CloseAndWait(&exitCode) && exitCode == 0, "the clock closed normally");
  return failed ? 1 : 0;
}

int Unsent(const std::filesystem::path& out) {
  TDebugOutputMonitor monitor(out / "debug.txt");
  ClockProcess clock;
  if (!clock.Start() || !clock.WaitForTick()) {
    Check(false, "the clock started");
    return 1;
  }
  const DWORD pid = clock.ProcessId();
  const int idle = SettledThreadCount(pid);
  TStoppedThread thread(GetWindowThreadProcessId(clock.Window(), nullptr));
  Check(thread.Stop() != 0, "the main thread stopped");
  const TFreezeSeen seen = Freeze(clock, thread);
  Check(seen.Shown && seen.SendChecked, "the freeze shows the error window, send box checked");
  if (!seen.Shown) return 1;

  // The progress window stays; every message box is read and answered until the outcome box.
  std::ofstream boxes(out / "boxes.txt");
  std::set<HWND> answered;
  bool outcome = false;
  for (int i = 0; i < 1200 && !outcome; ++i) {
    TBoxSearch search{pid, {}};
    EnumWindows(&CollectBox, reinterpret_cast<LPARAM>(&search));
    for (HWND box : search.Found) {
      const std::string caption = WindowText(box);
      if (answered.count(box) || caption == kErrorCaption || caption.rfind("Send", 0) == 0 ||
          caption.rfind("SMTP sending", 0) == 0)
        continue;
      std::string text;
      EnumChildWindows(box, &CollectStaticText, reinterpret_cast<LPARAM>(&text));
      boxes << caption << "|" << text << "\n";
      boxes.flush();
      std::printf("box %s|%s\n", caption.c_str(), text.c_str());
      answered.insert(box);
      outcome = caption == "Information.";
      PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    }
    Sleep(100);
  }
  Check(outcome, "the outcome box was shown");
  Check(WaitForFiles(clock.Folder().Path(), ".tgz", 1), "an archive kept in the log folder");
  Check(WaitForThreadsBackTo(pid, idle), "the report came to its end");
  CopyProgramFiles(clock, out, "unsent");
  DWORD exitCode = 1;
  Check(clock.CloseAndWait(&exitCode) && exitCode == 0, "the clock closed normally");
  return failed ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "";
  if (mode == "deliver" && argc == 5)
    return Deliver(WindowsPath(argv[2]), WindowsPath(argv[3]), WindowsPath(argv[4]));
  if (mode == "unsent" && argc == 3) return Unsent(WindowsPath(argv[2]));
  std::fprintf(stderr, "usage: DeliveryDriver deliver OUTDIR RELAYDIR WEBDIR | unsent OUTDIR\n");
  return 2;
}
