// The sequence's log step on Windows: one log object for the life of the subsystem.
#include "delivery/log/ELogStep.h"
#include "report/capture/EReportSequenceWin32.h"

void SaveReportToLog(TReportContext& context) {
  static TReportLogKeeper keeper;
  RunLogStep(context, keeper, PlatformDeliveryErrorOutput());
}
