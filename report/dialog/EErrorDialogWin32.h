// The error dialog ("OZ_DIALOG") and the reproduce request ("OZ_REQUEST"), run on the
// reporting thread while the faulting thread waits.
#pragma once

#include <string>

#include "report/capture/EReportContext.h"

// Shows the dialog for the report of `context` and hands back what the user chose
// (DialogShown, SendChecked, ScreenshotChecked, CopyChecked, CloseRequested). errorCount: the
// errors of the run so far, this one included. A close-program request that the action event
// withdraws shows the dialog again. When no dialog can be made, `message` (the exception's)
// is shown in a message box instead.
void ShowErrorDialog(TReportContext& context, const std::string& message, int errorCount);

// Asks for the steps that led to the error and adds the answer to the report as section 8,
// refreshing context.Text. Asked only with lfAskReproduce, in a window program, for a new
// report that is sent or logged.
void ShowReproduceRequest(TReportContext& context, bool windowProgram);

// Puts the text on the clipboard as plain text; false when the clipboard could not be had.
bool CopyReportToClipboard(const std::string& text);

// The state the dialog carries from one error of the run to the next (check boxes, details
// pane, window state), forgotten (tests).
void ResetErrorDialogState();
