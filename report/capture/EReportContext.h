// One report on its way through the later steps of the reporting sequence: the display, the
// screenshot, the log and the delivery read and fill it. Portable: the Win32 side of each step
// works on it, and the steps are tested against it with canned events.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/DateTime.h"

class TOskedaModuleOptions;
class TReportText;
struct TScreenshotPixels;
struct TReportSnapshot;

// The events of one report, each run on the thread that raised the exception while the
// reporting thread waits.
class IReportEvents {
 public:
  virtual ~IReportEvents() = default;
  // Announces an action (TOskedaAction); false when a handler cancelled it.
  virtual bool ActionNotify(int action) = 0;
  // Reports a failed action; true when a handler asks for another attempt.
  virtual bool ErrorNotify(int action, const std::string& message) = 0;
  // Lets the handlers add files to the attachment list.
  virtual void AttachedFiles(std::vector<std::string>& files) = 0;
  // Lets the handlers add fields to a web upload.
  virtual void CustomFields(std::vector<std::string>& names, std::vector<std::string>& values) = 0;
  // For a delivery that goes on after the sequence has ended (and the faulting thread with
  // it): a copy that runs each event in place, on the thread that calls it. Null when the
  // events cannot outlive the sequence.
  virtual std::unique_ptr<IReportEvents> Detach() const { return nullptr; }
};

struct TReportContext {
  TOskedaModuleOptions* Options = nullptr;
  TReportText* Report = nullptr;
  IReportEvents* Events = nullptr;
  const TReportSnapshot* Snapshot = nullptr;  // what the report was made from
  // The report text as shown, logged and sent; refreshed after the reproduce request.
  std::string Text;
  TDateTime ReportTime = 0;  // local time of the report
  bool Duplicate = false;    // the same error as the last report (lfSkipDuplicates)
  std::string CustomData;    // the custom-data event's text, shown on the dialog's Other tab
  std::string LastHtmlPage;  // the HTML page made for this error, when one was

  // What the error dialog handed back; without a dialog the send box counts as checked.
  bool DialogShown = false;
  bool SendChecked = true;
  bool ScreenshotChecked = false;
  bool CopyChecked = false;
  bool CloseRequested = false;

  // The screenshot taken for the delivery, when one was; shared with a background delivery.
  std::shared_ptr<const TScreenshotPixels> Screenshot;
  // With sfSendWholeLog the whole log as the log step read it; empty: Text is delivered.
  std::string TextToDeliver;
};
