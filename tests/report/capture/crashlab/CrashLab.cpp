// The crash lab: a console program built with the reporting subsystem that raises one kind of
// exception on request, so that tests can read the report it prints. Each faulting line
// carries a "CrashLab fault:" comment naming its case; the tests find the line by it.
//   CrashLab.exe [--options FILE] CASE
#include "platform/win/WinApi.h"

#include <atomic>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <stdexcept>
#include <string>
#include <thread>

#include "platform/gui/Application.h"
#include "report/capture/EExceptionManagerWin32.h"
#include "report/capture/EInterceptWin32.h"
#include "report/capture/EOskedaEvents.h"
#include "report/capture/EPasswordEvents.h"
#include "delivery/log/ELogStore.h"
#include "report/options/EModuleConfigWin32.h"
#include "report/freeze/EFreezeWatchWin32.h"
#include "report/options/ECoreOptions.h"
#include "report/options/ECurrentOptions.h"
#include "report/options/EModuleConfig.h"
#include "tests/report/capture/LabOptionsWin32.h"

namespace {

HANDLE waitForever = nullptr;

// The forms of the lab: their handlers run through the application's dispatch point.
class TCrashForm : public TObject {
 public:
  __attribute__((noinline)) void HandlerClick(TObject*);
  __attribute__((noinline)) void StdClick(TObject*);
  __attribute__((noinline)) void IntClick(TObject*);
  __attribute__((noinline)) void AbortClick(TObject*);
};

void TCrashForm::HandlerClick(TObject*) {
  throw Exception("CrashLab handler failure");  // CrashLab fault: throw-handler
}

void TCrashForm::StdClick(TObject*) {
  throw std::runtime_error("CrashLab standard failure");  // CrashLab fault: throw-std
}

void TCrashForm::IntClick(TObject*) {
  throw 42;  // CrashLab fault: throw-int
}

void TCrashForm::AbortClick(TObject*) { throw EAbort("Operation aborted"); }

volatile int* volatile nullPointer = nullptr;
volatile int divisor = 0;
volatile int recursionLimit = 1 << 30;

__attribute__((noinline)) int ReadNull() {
  return *nullPointer;  // CrashLab fault: av-read
}

__attribute__((noinline)) void WriteLow() {
  volatile int* const low = nullPointer + 4;  // 0x10
  *low = 1;                                   // CrashLab fault: av-write
}

__attribute__((noinline)) int DivideByZero(int value) {
  return value / divisor;  // CrashLab fault: div-zero
}

__attribute__((noinline)) void ThrowInThread() {
  throw Exception("CrashLab thread failure");  // CrashLab fault: thread-throw
}

// Its own procedure, so that the compiler cannot merge this call with the other calls of
// std::terminate in the program (std::thread's destructor has one).
__attribute__((noinline)) void TerminateWithoutException() {
  std::terminate();  // CrashLab fault: terminate
}

DWORD WINAPI ReadNullThread(void*) {
  return static_cast<DWORD>(*nullPointer);  // CrashLab fault: winthread-av
}

__attribute__((noinline)) int Recurse(int depth) {
  volatile char pad[256];
  // Each frame's first store touches its new stack page: the overflow faults here.
  pad[0] = static_cast<char>(depth);  // CrashLab fault: stack-overflow
  if (depth > recursionLimit) return 0;
  return Recurse(depth + 1) + pad[0];
}

std::atomic<int> threadsWaiting{0};

DWORD WINAPI WaitingThread(void*) {
  ++threadsWaiting;
  WaitForSingleObject(waitForever, INFINITE);
  return 0;
}

// Two threads of the C runtime (std::thread) and two of the system, all waiting.
void StartWaitingThreads() {
  waitForever = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  for (int i = 0; i < 2; ++i) std::thread([] { WaitingThread(nullptr); }).detach();
  for (int i = 0; i < 2; ++i)
    CloseHandle(CreateThread(nullptr, 0, &WaitingThread, nullptr, 0, nullptr));
  for (int i = 0; i < 500 && threadsWaiting < 4; ++i) Sleep(10);
}

TApplication* labApplication = nullptr;
TCrashForm* labForm = nullptr;
bool painted = false;

// The nested case's window: its first paint, which the waiting main thread handles while the
// first exception is reported, raises a second exception through the dispatch point.
LRESULT CALLBACK NestedWindowProc(HWND window, UINT message, WPARAM w, LPARAM l) {
  if (message != WM_PAINT) return DefWindowProcA(window, message, w, l);
  PAINTSTRUCT paint;
  BeginPaint(window, &paint);
  EndPaint(window, &paint);
  if (!painted) {
    painted = true;
    std::printf("second exception raised\n");
    labApplication->Dispatch(labForm, [] { throw Exception("CrashLab second failure"); });
  }
  return 0;
}

HWND CreateLabWindow(WNDPROC procedure, const char* title) {
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = title;
  RegisterClassA(&windowClass);
  return CreateWindowExA(0, title, title, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 200, 100,
                         nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
}

// The hang case's main thread stops answering here.
__attribute__((noinline)) void StopAnswering() {
  Sleep(8000);  // CrashLab fault: hang
}

// The events as the lab hears them: every event notes on standard error which thread ran it;
// CRASHLAB_EVENTS=veto clears the notify event's switch, =skip-display the display action's.
// When the handler case raised, for the report_build benchmark: the notify event runs once
// the report text is complete.
LONGLONG raiseCount = 0;

class TLabHandler : public TOskedaLogHandler {
 public:
  TLabHandler() {
    char mode[32] = {};
    GetEnvironmentVariableA("CRASHLAB_EVENTS", mode, sizeof mode);
    mode_ = mode;
    RegisterOskedaLogHandler(this);
  }
  void ExceptionNotify(const TOskedaExceptionRecord& record, bool& handle) override {
    if (raiseCount) {
      LARGE_INTEGER now, frequency;
      QueryPerformanceCounter(&now);
      QueryPerformanceFrequency(&frequency);
      std::fprintf(stderr, "report_build_ms %.2f\n",
                   static_cast<double>(now.QuadPart - raiseCount) * 1000.0 /
                       static_cast<double>(frequency.QuadPart));
    }
    Note("notify", record);
    if (mode_ == "veto") handle = false;
  }
  void ExceptionActionNotify(const TOskedaExceptionRecord& record, int action,
                             bool& execute) override {
    Note(("action " + std::to_string(action)).c_str(), record);
    if (mode_ == "skip-display" && action == atShowDialog) execute = false;
  }
  void ExceptionErrorNotify(const TOskedaExceptionRecord&, int action, const std::string& message,
                            bool& /*retry*/) override {
    std::fprintf(stderr, "event error %d %s\n", action, message.c_str());
  }

 private:
  static void Note(const char* event, const TOskedaExceptionRecord& record) {
    std::fprintf(stderr, "event %s on the %s thread\n", event,
                 record.ThreadId == GetCurrentThreadId() ? "faulting" : "other");
  }
  std::string mode_;
};

void __cdecl LabCustomData(const TOskedaExceptionRecord*, std::string* data) {
  *data += "CrashLab custom data";
}

int RunCase(const std::string& name) {
  TApplication app;
  TCrashForm form;
  labApplication = &app;
  labForm = &form;
  if (name == "throw-handler") {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    raiseCount = now.QuadPart;
    app.Dispatch(&form, [&] { form.HandlerClick(&form); });
  } else if (name == "throw-std") {
    app.Dispatch(&form, [&] { form.StdClick(&form); });
  } else if (name == "throw-int") {
    app.Dispatch(&form, [&] { form.IntClick(&form); });
  } else if (name == "abort") {
    app.Dispatch(&form, [&] { form.AbortClick(&form); });
  } else if (name == "nested") {
    CreateLabWindow(&NestedWindowProc, "CrashLab nested");
    app.Dispatch(&form, [&] { form.HandlerClick(&form); });
    std::printf(painted ? "nested done\n" : "nested: no paint\n");
  } else if (name == "hang") {
    HWND window = CreateLabWindow(&DefWindowProcA, "CrashLab hang");
    UpdateWindow(window);
    StopAnswering();
    // A report still running for the hang ends before the lab's handler goes.
    StopFreezeWatch();
  } else if (name == "dll-throw") {
    HMODULE dll = LoadLibraryA("CrashLabDll.dll");
    auto* run = dll ? reinterpret_cast<bool(__cdecl*)()>(
                          reinterpret_cast<void*>(GetProcAddress(dll, "CrashLabDllRun")))
                    : nullptr;
    if (!run) {
      std::fprintf(stderr, "CrashLab: CrashLabDll.dll is missing\n");
      return 2;
    }
    run();
  } else if (name == "caught") {
    try {
      throw Exception("caught here");
    } catch (const Exception&) {
      std::printf("caught\n");
    }
  } else if (name == "av-read") {
    return ReadNull();
  } else if (name == "av-write") {
    WriteLow();
  } else if (name == "div-zero") {
    return DivideByZero(7);
  } else if (name == "thread-throw") {
    std::thread(&ThrowInThread).join();
  } else if (name == "winthread-av") {
    HANDLE thread = CreateThread(nullptr, 0, &ReadNullThread, nullptr, 0, nullptr);
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
  } else if (name == "terminate") {
    TerminateWithoutException();
  } else if (name == "stack-overflow") {
    return Recurse(0);
  } else {
    std::fprintf(stderr, "CrashLab: unknown case %s\n", name.c_str());
    return 2;
  }
  // The cases whose exception reaches the dispatch point survive it.
  const bool handled = name.starts_with("throw-") || name == "nested" || name == "dll-throw";
  return OskedaErrorCount() > 0 && !handled ? 1 : 0;
}

}  // namespace

// A restarted crash lab (the reporter's restart keeps the environment) only leaves the mark
// named by CRASHLAB_RESTART_MARK, so that a restart test ends after one restart.
bool LeaveRestartMark() {
  char mark[MAX_PATH] = {};
  if (!GetEnvironmentVariableA("CRASHLAB_RESTARTED", nullptr, 0)) {
    SetEnvironmentVariableA("CRASHLAB_RESTARTED", "1");
    return false;
  }
  if (GetEnvironmentVariableA("CRASHLAB_RESTART_MARK", mark, MAX_PATH)) {
    char folder[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, folder);
    std::ofstream(mark) << "restarted in " << folder << "\n";
  }
  return true;
}

std::string Environment(const char* name) {
  char value[MAX_PATH] = {};
  const DWORD length = GetEnvironmentVariableA(name, value, sizeof value);
  return length < sizeof value ? std::string(value, length) : std::string();
}

// CRASHLAB_KEY: the process-wide password handler answers with it, from before the lab's
// configuration loads.
void __cdecl LabPassword(const TOskedaExceptionRecord*, std::string* key) {
  *key = Environment("CRASHLAB_KEY");
}

// CRASHLAB_XML_LOG and CRASHLAB_XML: the XML copy of that log, its names deciphered with the
// key the program's password export gives.
void WriteLabXmlCopy() {
  const std::string log = Environment("CRASHLAB_XML_LOG");
  if (log.empty()) return;
  try {
    WriteXmlLogCopy(log, "", RequestModulePassword(GetModuleHandleA(nullptr)),
                    Environment("CRASHLAB_XML"));
  } catch (const std::exception& error) {
    std::fprintf(stderr, "CrashLab: no XML copy: %s\n", error.what());
  }
}

int main(int argc, char** argv) {
  if (LeaveRestartMark()) return 0;
  if (!Environment("CRASHLAB_KEY").empty()) SetOskedaPasswordRequestHandler(&LabPassword);
  StartOskedaExceptionLog();
  InstallFreezeWatch();
  int arg = 1;
  if (argc > 2 && std::strcmp(argv[1], "--options") == 0) {
    std::string error;
    if (!LoadLabOptionsFile(argv[2], error)) {
      if (!error.empty()) std::fprintf(stderr, "CrashLab: %s\n", error.c_str());
      std::fprintf(stderr, "CrashLab: cannot use the options file %s\n", argv[2]);
      return 2;
    }
    arg = 3;
  }
  if (arg >= argc) {
    std::fprintf(stderr, "usage: CrashLab.exe [--options FILE] CASE\n");
    return 2;
  }
  // CRASHLAB_ENABLED=0 switches the reporting off (Enabled is no option of the files).
  char enabled[4] = {};
  if (GetEnvironmentVariableA("CRASHLAB_ENABLED", enabled, sizeof enabled) && enabled[0] == '0')
    if (TOskedaModuleOptions* options = FindCurrentOskedaLogOptions()) options->SetEnabled(false);
  TLabHandler handler;
  OskedaProcessHandlers().CustomDataRequest = &LabCustomData;
  StartWaitingThreads();
  std::fflush(stdout);
  const int code = RunCase(argv[arg]);
  WriteLabXmlCopy();
  std::fflush(stdout);
  return code;
}
