// The screenshot and delivery steps of the reporting sequence, and the background delivery
// that goes on after the sequence has ended.
#include "report/capture/EReportSequenceWin32.h"

#include <memory>

#include "delivery/package/EScreenCaptureWin32.h"
#include "delivery/send/ESendDialogWin32.h"
#include "delivery/send/ESendReport.h"
#include "delivery/send/ESendServicesWin32.h"
#include "report/capture/EOskedaEvents.h"
#include "report/capture/EThreadsListWin32.h"
#include "report/options/ECoreOptions.h"

namespace {

bool ReportWillBeDelivered(const TReportContext& report) {
  const TOskedaModuleOptions& options = *report.Options;
  return (options.MailChannel() != mcNone || options.WebChannel() != wcNone) &&
         !report.Duplicate && report.SendChecked;
}

// Everything a background delivery reads, owned by it: the sequence's locals are gone by the
// time it runs.
struct TOwnedDelivery {
  std::unique_ptr<TOskedaModuleOptions> Options;
  std::unique_ptr<IReportEvents> Events;
  std::shared_ptr<const TScreenshotPixels> Screenshot;
  TSendJob Job;
};

bool RunDelivery(const TSendJob& job) {
  const TOskedaModuleOptions& options = *job.Options;
  const TProgramKind program = CurrentProgramKind();
  // The mail program shows its own windows: the dialog is for SMTP and the web only, and only
  // in a window program.
  const bool dialogAllowed = options.SendFlags().Contains(sfShowSendDialog) &&
                             program == TProgramKind::Window &&
                             (options.MailChannel() != mcNone || options.WebChannel() != wcNone);
  TSendProgress progress([&options](int index) { return options.GetText(index); }, dialogAllowed,
                         options.DialogFlags().Contains(dfBannerLook));
  TSendServices services = PlatformSendServices(
      [&progress]() -> ISendStatus& { return progress.StartSendDialog(); },
      program == TProgramKind::Web);
  BindMailProgram(services, TMailProgramSettings{options.SendFlags().Contains(sfShowSendDialog),
                                                 OskedaThreadsList().MainThreadId()});
  return TReportSender(job, services).SendReport();
}

// TSendThread: one delivery under the reporting section, then what the sequence does after an
// inline delivery: the rate limit and the termination it may ask for.
DWORD WINAPI SendThread(void* parameter) {
  std::unique_ptr<TOwnedDelivery> delivery(static_cast<TOwnedDelivery*>(parameter));
  bool terminate = false;
  EnterCriticalSection(&OskedaReportingSection());
  try {
    RunDelivery(delivery->Job);
    terminate = ErrorRateLimitReached(*delivery->Options) &&
                (!delivery->Events || delivery->Events->ActionNotify(atTerminate));
  } catch (...) {
    // The reporter's own failures never reach the program.
  }
  LeaveCriticalSection(&OskedaReportingSection());
  if (terminate) TerminateOrRestart(delivery->Options->CrashAction() == cbaRestart);
  return 0;
}

TSendJob JobOf(const TReportContext& report) {
  TSendJob job;
  job.Options = report.Options;
  job.Events = report.Events;
  job.Text = report.Text;
  job.TextToDeliver = report.TextToDeliver;
  job.ReportTime = report.ReportTime;
  job.LastHtmlPage = report.LastHtmlPage;
  job.Screenshot = report.Screenshot.get();
  return job;
}

}  // namespace

void TakeReportScreenshot(TReportContext& report) {
  const TSendFlags flags = report.Options->SendFlags();
  if (!flags.Contains(sfAttachScreenshot) || !ReportWillBeDelivered(report)) return;
  if (report.DialogShown && !report.ScreenshotChecked) return;
  TScreenCapture capture;
  if (capture.CaptureScreen(flags.Contains(sfScreenshotForegroundOnly), std::nullopt))
    report.Screenshot = std::make_shared<const TScreenshotPixels>(capture.Pixels());
}

TDeliveryRoute DeliverReport(TReportContext& report) {
  if (!report.Options->SendFlags().Contains(sfSendInThread)) {
    RunDelivery(JobOf(report));
    return TDeliveryRoute::Inline;
  }
  auto delivery = std::make_unique<TOwnedDelivery>();
  delivery->Options =
      std::make_unique<TOskedaModuleOptions>(report.Options->OwnerModuleName(), false);
  delivery->Options->Assign(report.Options);
  delivery->Options->SetOwnerModuleName(report.Options->OwnerModuleName());
  delivery->Events = report.Events ? report.Events->Detach() : nullptr;
  delivery->Screenshot = report.Screenshot;
  delivery->Job = JobOf(report);
  delivery->Job.Options = delivery->Options.get();
  delivery->Job.Events = delivery->Events.get();
  UniqueKernelHandle thread(
      CreateThread(nullptr, 0, &SendThread, delivery.get(), CREATE_SUSPENDED, nullptr));
  // Without a thread of its own the report still goes out, inline, and the sequence applies
  // the rate limit to it as to any inline delivery.
  if (!thread) {
    RunDelivery(JobOf(report));
    return TDeliveryRoute::Inline;
  }
  SetThreadPriority(thread.get(), THREAD_PRIORITY_HIGHEST);
  delivery.release();
  ResumeThread(thread.get());
  return TDeliveryRoute::Background;
}
