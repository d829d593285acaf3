// The last delivery error: its code and line, kept for the delivery sequence, written to the
// debugger output and, while the send-progress dialog shows, put in an error box.
#pragma once

#include <exception>
#include <string>
#include <string_view>

#include "report/options/EOptionsTypes.h"

struct TDeliveryError {
  TOskedaLogErrorCode Code = eeNone;
  std::string Text;
};

// Where the line goes besides the store: the debugger output and the error box.
class IDeliveryErrorOutput {
 public:
  virtual ~IDeliveryErrorOutput() = default;
  virtual void DebugOutput(const std::string& line) = 0;
  virtual void ShowErrorBox(const std::string& text) = 0;
};
// The debugger output and a task-modal, top-most error box captioned "Error.".
IDeliveryErrorOutput& PlatformDeliveryErrorOutput();

// Reset at the start of each delivery.
void ResetDeliveryError();
TDeliveryError LastDeliveryError();

// "[channel] message" for a runtime exception, "General 'channel' error." for anything else.
std::string DeliveryErrorText(std::string_view channel, std::exception_ptr error);

// Stores the line as the last error, writes
// "[WARNING] - Code: <name> - Address: <8 hex digits> - Message: "<text>"" to the debugger
// output, and shows the error box when the dialog shows and the code is one of the SMTP and
// web codes.
void StoreDeliveryError(TOskedaLogErrorCode code, const std::string& text, bool dialogShowing,
                        IDeliveryErrorOutput& output);

// Called inside a catch block: the text of the exception being handled, then stored.
void RecordDeliveryError(TOskedaLogErrorCode code, std::string_view channel, bool dialogShowing,
                         IDeliveryErrorOutput& output);

std::string_view DeliveryErrorCodeName(TOskedaLogErrorCode code);
