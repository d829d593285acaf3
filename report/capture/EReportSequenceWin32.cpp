#include "report/capture/EReportSequenceWin32.h"
#include "platform/win/ModuleOfAddress.h"
#include "platform/win/ProcAddress.h"

#include <cxxabi.h>

#include <functional>
#include <memory>
#include <mutex>

#include "report/capture/ECollectWin32.h"
#include "report/capture/EInterceptWin32.h"
#include "report/capture/EOskedaEvents.h"
#include "report/capture/EThreadStateWin32.h"
#include "report/capture/EThreadsListWin32.h"
#include "report/capture/MemoryReaderWin32.h"
#include "report/dialog/EErrorDialogWin32.h"
#include "report/options/ECurrentOptions.h"
#include "report/options/EExceptionFilter.h"
#include "report/options/EModuleConfig.h"
#include "report/text/EReportHtml.h"
#include "report/text/EReportText.h"

namespace {

std::mutex stateLock;
TErrorTimes errorTimes;
std::optional<TDuplicateCheckFields> lastReport;
std::string startupFolder;
TDateTime startTime = 0;  // local time

std::string ModuleFileName(HMODULE module) {
  char path[MAX_PATH] = {};
  const DWORD n = GetModuleFileNameA(module, path, MAX_PATH);
  return std::string(path, n);
}

HMODULE ModuleOfAddress(std::uint32_t address) {
  return ::ModuleOfAddress(reinterpret_cast<const void*>(address));
}

std::string BaseName(const std::string& path) {
  const std::size_t slash = path.find_last_of("\\/");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The module record with options that speaks for the exception: that of the raise address,
// else of the exception's module, else of the program.
TModuleConfigRecord* ChooseModuleRecord(const TDispatchRequest& request) {
  TModuleConfigList& list = OskedaModuleConfigs();
  const auto base = [](HMODULE m) { return reinterpret_cast<std::uintptr_t>(m); };
  TModuleConfigRecord* program = list.FindByBase(base(GetModuleHandleA(nullptr)));
  TModuleConfigRecord* found = list.FindByAddress(request.Address);
  if (!found || !found->Options)
    found = request.Module ? list.FindByBase(base(request.Module)) : nullptr;
  if (!found || !found->Options) found = program;
  if (found && found->Options &&
      found->Options->BehaviourFlags().Contains(bfUseMainModuleOptions) && program &&
      program->Options)
    found = program;
  return found && found->Options ? found : nullptr;
}

void FillExceptionObject(const std::exception_ptr& object, TExceptionSnapshot& e) {
  try {
    std::rethrow_exception(object);
  } catch (const Exception& x) {
    e.ClassName = x.ClassName();
    e.Message = x.Message();
  } catch (const std::exception& x) {
    int status = 0;
    std::unique_ptr<char, void (*)(void*)> name(
        abi::__cxa_demangle(typeid(x).name(), nullptr, nullptr, &status), std::free);
    e.ClassName = status == 0 && name ? name.get() : typeid(x).name();
    e.Message = x.what();
  } catch (...) {
    e.IsExceptionObject = false;
  }
}

// Resumes what it suspended, in every case.
class TSuspendedThreads {
 public:
  void Suspend(HANDLE thread) {
    if (SuspendThread(thread) != static_cast<DWORD>(-1)) suspended_.push_back(thread);
  }
  ~TSuspendedThreads() {
    for (HANDLE thread : suspended_) ResumeThread(thread);
  }

 private:
  std::vector<HANDLE> suspended_;
};

TDateTime LocalNow() {
  SYSTEMTIME now;
  GetLocalTime(AsWin32(&now));
  return SystemTimeToDateTime(now);
}

void DebugLine(const std::string& line) { OutputDebugStringA(line.c_str()); }

bool UnderDebuggerOrEnvironment() {
  using TIsDebuggerPresent = BOOL(WINAPI*)();
  const auto isDebuggerPresent =
      ProcAddress<TIsDebuggerPresent>(GetModuleHandleA("kernel32.dll"), "IsDebuggerPresent");
  return (isDebuggerPresent && isDebuggerPresent()) ||
         IsDevelopmentEnvironmentExe(ModuleFileName(nullptr));
}

// The internal-error handler: only a developer (a debugger, the development environment)
// hears of the reporter's own failures; EAbort never counts as one.
void InternalError(int progress, const std::exception_ptr& internal, const std::string& reported) {
  std::string message;
  bool hasMessage = false;
  try {
    std::rethrow_exception(internal);
  } catch (const Exception& x) {
    if (x.InheritsFrom("EAbort") || x.InheritsFrom("EOskedaSocketError")) return;
    message = x.Message();
    hasMessage = true;
  } catch (...) {
  }
  if (!UnderDebuggerOrEnvironment()) return;
  const std::string section = std::to_string(progress);
  DebugLine(InternalErrorLine(section, 0, hasMessage ? &message : nullptr));
  TInternalBugReport bug;
  bug.Section = section;
  bug.LastException = reported;
  bug.Message = hasMessage ? message : "General internal error.";
  bug.Environment = DevelopmentEnvironmentExe;
  const std::string text = InternalBugReportText(bug);
  std::string file = ModuleFileName(nullptr);
  const std::size_t dot = file.find_last_of('.');
  file = (dot == std::string::npos ? file : file.substr(0, dot)) + ".log";
  HANDLE h = CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (h != INVALID_HANDLE_VALUE) {
    DWORD written = 0;
    WriteFile(h, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(h);
  }
  if (MessageBoxA(nullptr,
                  ("An internal error of the reporter was written to\r\n" + file +
                   "\r\n\r\nSend it to its maker?")
                      .c_str(),
                  "Probably internal bug", MB_YESNO | MB_ICONERROR | MB_TASKMODAL) == IDYES)
    MessageBoxA(nullptr, ("Please send the file " + file + " by hand.").c_str(), "Information",
                MB_OK | MB_ICONINFORMATION | MB_TASKMODAL);
}

bool WriteStandardOutput(const std::string& text) {
  HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
  DWORD written = 0;
  return out && out != INVALID_HANDLE_VALUE &&
         WriteFile(out, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
         written == text.size();
}

void ShowPlainMessage(const TOskedaModuleOptions& options, const std::string& message) {
  DebugLine(InternalWarningLine("GUI", 0, "Cannot show the DialogBox window."));
  MessageBoxA(nullptr, message.c_str(), options.GetText(2).c_str(),
              MB_OK | MB_ICONERROR | MB_TASKMODAL);
}

// The events of one report, each run on the faulting thread. The module's own export is asked
// only when the exception arose in a module other than the one reporting.
class TSequenceEvents final : public IReportEvents {
 public:
  explicit TSequenceEvents(const TDispatchRequest& request) : request_(&request) {
    HMODULE module = ModuleOfAddress(request.Address);
    if (!module) module = request.Module;
    record_.Exception = &request.Object;
    record_.Address = request.Address;
    record_.ThreadId = request.ThreadId;
    record_.Module = module;
    if (module && module != ThisModule()) module_ = module;
  }

  bool ExceptionNotify() {
    bool handle = true;
    Run([&] {
      DeliverExceptionNotify(record_, Export<TExceptionNotifyProc>(evExceptionNotify), handle);
    });
    return handle;
  }
  bool ActionNotify(int action) override {
    bool execute = true;
    Run([&] {
      DeliverExceptionActionNotify(
          record_, Export<TExceptionActionNotifyProc>(evExceptionActionNotify), action, execute);
    });
    return execute;
  }
  bool ErrorNotify(int action, const std::string& message) override {
    bool retry = false;
    Run([&] {
      DeliverExceptionErrorNotify(
          record_, Export<TExceptionErrorNotifyProc>(evExceptionErrorNotify), action, message,
          retry);
    });
    return retry;
  }
  void AttachedFiles(std::vector<std::string>& files) override {
    Run([&] {
      DeliverAttachedFilesRequest(
          record_, Export<TAttachedFilesRequestProc>(evAttachedFilesRequest), files);
    });
  }
  void CustomFields(std::vector<std::string>& names, std::vector<std::string>& values) override {
    Run([&] {
      DeliverCustomFieldsRequest(
          record_, Export<TCustomFieldsRequestProc>(evCustomFieldsRequest), names, values);
    });
  }
  std::unique_ptr<IReportEvents> Detach() const override {
    auto copy = std::make_unique<TSequenceEvents>(*this);
    copy->request_ = nullptr;
    copy->object_ = request_ ? request_->Object : object_;
    copy->record_.Exception = &copy->object_;
    return copy;
  }
  std::string CustomData() {
    std::string data;
    Run([&] {
      DeliverCustomDataRequest(record_, Export<TCustomDataRequestProc>(evCustomDataRequest), data);
    });
    return data;
  }

 private:
  template <typename Fn>
  Fn* Export(TOskedaEvent event) const {
    return ProcAddress<Fn*>(module_, OskedaEventExportNames[event]);
  }
  void Run(const std::function<void()>& call) {
    if (request_)
      RunOnFaultingThread(*request_, call);
    else
      call();
  }

  const TDispatchRequest* request_;
  std::exception_ptr object_;  // a detached copy's own reference to the exception
  TOskedaExceptionRecord record_;
  HMODULE module_ = nullptr;
};

}  // namespace

bool ErrorRateLimitReached(const TOskedaModuleOptions& options) {
  if (!options.BehaviourFlags().Contains(bfRateLimit)) return false;
  std::lock_guard guard(stateLock);
  return errorTimes.LimitReached(options.CrashCount(), options.CrashWindowMinutes());
}

void SetStartupFolder(const std::string& folder) { startupFolder = folder; }

void RecordStartTime() { startTime = LocalNow(); }

void TerminateOrRestart(bool restart) {
  if (restart) {
    STARTUPINFOA startup{};
    GetStartupInfoA(&startup);
    PROCESS_INFORMATION process{};
    std::string commandLine = GetCommandLineA();
    if (CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0x220, nullptr,
                       startupFolder.empty() ? nullptr : startupFolder.c_str(), &startup,
                       &process)) {
      CloseHandle(process.hThread);
      CloseHandle(process.hProcess);
    }
  }
  TerminateProcess(GetCurrentProcess(), 1);
  ExitProcess(1);
}

bool RunReportingSequence(TDispatchRequest& request) {
  int progress = 1;
  bool notHandled = true;
  bool terminate = false;
  TCloseButtonAction closeAction = cbaTerminate;
  std::string reportedClass;
  try {
    TSuspendedThreads suspended;
    CurrentThreadState().InsideSequence = true;
    std::vector<TCaptureThread> threads = OskedaThreadsList().CaptureThreads();
    TModuleConfigRecord* record = ChooseModuleRecord(request);
    const TOskedaModuleOptions* source =
        record ? record->Options.get() : FindCurrentOskedaLogOptions();
    if (!source) return true;
    TOskedaModuleOptions options(source->OwnerModuleName(), false);
    options.Assign(source);
    progress = 104;
    if (IsDevelopmentEnvironmentExe(ModuleFileName(nullptr)))
      options.SetDialogFlags(options.DialogFlags().With(dfBannerLook, false));
    options.SetOwnerModuleName(record ? BaseName(record->FileName) : std::string());

    progress = 2;
    if (request.IsFault && !request.Object)
      request.Object = MakeProcessorException(
          request.Fault, BaseName(ModuleFileName(ModuleOfAddress(request.Fault.Address))));
    TCaptureRequest capture;
    capture.Options = &options;
    capture.OnSourceFailure = [&](int code, const std::exception_ptr& error) {
      InternalError(code, error, reportedClass);
    };
    FillExceptionObject(request.Object, capture.Exception);
    reportedClass = capture.Exception.ClassName;
    if (request.FrameClass != 2 && options.FilterEnabled()) {
      try {
        std::rethrow_exception(request.Object);
      } catch (const Exception& x) {
        const TOskedaFilterMatch match = MatchExceptionFilter(options, x);
        if (match.Filtered) {
          if (!match.Message.empty()) {
            if (SelectDisplayMode(request.Kind, CurrentProgramKind()) == TDisplayMode::Console)
              WriteStandardOutput(match.Message + "\r\n");
            else
              ShowPlainMessage(options, match.Message);
          }
          return false;
        }
      } catch (...) {
      }
    }

    progress = 3;
    capture.Exception.Address = request.Address;
    capture.Exception.RaiseKind = request.RaiseKind;
    capture.Exception.ModulePath = ModuleFileName(ModuleOfAddress(request.Address));
    if (request.HasRegisters) {
      capture.Exception.Context = request.Registers;
      capture.Exception.Context->Eip = request.Address;
    }
    if (request.IsFault && request.Fault.Code == StatusAccessViolation && request.Fault.HasAccess)
      capture.Exception.AccessViolation =
          TAccessViolationSnapshot{request.Fault.AccessKind == 1, request.Fault.AccessedAddress};
    capture.ExceptionThreadId = request.ThreadId;
    capture.StackStart = request.StackStart;
    capture.StackTop = request.StackTop;
    capture.Threads = threads;
    capture.OmitActiveControls = CurrentProgramKind() != TProgramKind::Window;
    capture.StartTime = startTime;
    capture.BuildTime = record ? record->BuildDate : 0;
    progress = 4;
    TReportSnapshot snapshot = CollectReportSnapshotWin32(capture);

    progress = 5;
    if (request.FrameClass != 2) {
      const TBehaviourFlags flags = options.BehaviourFlags();
      for (const TCaptureThread& t : threads) {
        if (t.Id == GetCurrentThreadId() || t.Id == request.ThreadId || !t.Handle) continue;
        const bool pause = t.IsRuntime ? flags.Contains(bfPauseRuntimeThreads) &&
                                             !(t.IsMain && flags.Contains(bfKeepMainRunning))
                                       : flags.Contains(bfPauseSystemThreads);
        if (pause) suspended.Suspend(t.Handle);
      }
    }

    progress = 702;
    TProcessMemoryReader memory;
    TReportText report = TReportText::Build(snapshot, options, &memory);
    TSequenceEvents events(request);
    progress = 704;
    bool duplicate = false;
    {
      std::lock_guard guard(stateLock);
      duplicate = options.LogFlags().Contains(lfSkipDuplicates) && lastReport &&
                  *lastReport == report.DuplicateFields();
      lastReport = report.DuplicateFields();
    }
    if (!events.ExceptionNotify()) return false;
    progress = 8;
    if (options.BehaviourFlags().Contains(bfRateLimit)) {
      std::lock_guard guard(stateLock);
      errorTimes.Add(LocalNow(), options.CrashCount());
    }
    TReportContext context;
    context.Options = &options;
    context.Report = &report;
    context.Events = &events;
    context.Snapshot = &snapshot;
    context.ReportTime = LocalNow();
    context.Duplicate = duplicate;
    context.CustomData = events.CustomData();
    if (!context.CustomData.empty()) report.AddCustomData(context.CustomData, options);
    progress = 9;
    CountOskedaError();
    notHandled = false;

    progress = 11;
    context.Text = report.Text();
    const std::string& text = context.Text;
    progress = 12;
    if (options.DialogFlags().Contains(dfShowDialog) && events.ActionNotify(atShowDialog)) {
      progress = 13;
      switch (SelectDisplayMode(request.Kind, CurrentProgramKind())) {
        case TDisplayMode::Console:
          if (!WriteStandardOutput(ConsoleReportText(options.GetText(3), text)))
            events.ErrorNotify(atShowDialog, ActionErrorText("Console", ""));
          break;
        case TDisplayMode::HtmlPage:
          context.LastHtmlPage = BuildHtmlPage(text, options.PageTemplate(),
                                               THtmlPageParams{options.GetText(2), "", false});
          WriteStandardOutput(context.LastHtmlPage);
          break;
        case TDisplayMode::Dialog:
          ShowErrorDialog(context, capture.Exception.Message, OskedaErrorCount());
          break;
      }
    }
    ShowReproduceRequest(context, CurrentProgramKind() == TProgramKind::Window);
    TakeReportScreenshot(context);

    progress = 15;
    if (options.SaveToLog()) SaveReportToLog(context);
    if (context.CopyChecked) CopyReportToClipboard(context.Text);
    progress = 16;
    const bool channel = options.MailChannel() != mcNone || options.WebChannel() != wcNone;
    const bool deliver = channel && !context.Duplicate && context.SendChecked;
    const bool inBackground = deliver && DeliverReport(context) == TDeliveryRoute::Background;
    // The dialog asked the action event already before it let its close-program button go.
    if (context.CloseRequested) {
      terminate = true;
      closeAction = options.CloseButtonAction();
    }
    // A background delivery applies the rate limit itself once it is done.
    if (!inBackground && ErrorRateLimitReached(options)) {
      terminate = true;
      closeAction = options.CrashAction();
    }
    if (terminate && !context.CloseRequested) terminate = events.ActionNotify(atTerminate);
  } catch (...) {
    InternalError(progress, std::current_exception(), reportedClass);
  }
  progress = 18;
  if (terminate && request.FrameClass != 2) {
    CurrentThreadState().InsideSequence = false;
    TerminateOrRestart(closeAction == cbaRestart);
  }
  return notHandled;
}
