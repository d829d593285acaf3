// The log step of the reporting sequence: the report of the context goes into the log file.
#pragma once

#include "delivery/log/ELogStore.h"
#include "delivery/mail/EDeliveryError.h"
#include "report/capture/EReportContext.h"

// Deletes the log when lfDeleteOnVersionChange asks for it and the log's version differs,
// announces the log action (a handler that clears it skips the rest), then stores the report
// with the keeper. A failure is recorded as eeLogError through errors and announced to the
// error event, which may ask for another attempt. A duplicate in the log marks the context
// as one; with sfSendWholeLog the context's text becomes the whole log.
void RunLogStep(TReportContext& context, TReportLogKeeper& keeper, IDeliveryErrorOutput& errors);
