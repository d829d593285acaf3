#include "delivery/mail/EDeliveryError.h"

#include <mutex>

#include "platform/SysUtils.h"

namespace {

std::mutex& StoreLock() {
  static std::mutex lock;
  return lock;
}

TDeliveryError& Store() {
  static TDeliveryError last;
  return last;
}

}  // namespace

void ResetDeliveryError() {
  std::lock_guard guard(StoreLock());
  Store() = TDeliveryError{};
}

TDeliveryError LastDeliveryError() {
  std::lock_guard guard(StoreLock());
  return Store();
}

std::string_view DeliveryErrorCodeName(TOskedaLogErrorCode code) {
  static constexpr std::string_view Names[] = {
      "eeNone",           "eeShowError",    "eeLogError",      "eeEmailMAPIError", "eeEmailShellError",
      "eeEmailSMTPError", "eeWebHTTPError", "eeWebHTTPSError", "eeWebFTPError"};
  return code <= eeWebFTPError ? Names[code] : std::string_view("eeNone");
}

std::string DeliveryErrorText(std::string_view channel, std::exception_ptr error) {
  const std::string name(channel);
  try {
    if (error) std::rethrow_exception(error);
  } catch (const Exception& e) {
    return Format("[%s] %s", name.c_str(), e.Message().c_str());
  } catch (...) {
  }
  return Format("General '%s' error.", name.c_str());
}

void StoreDeliveryError(TOskedaLogErrorCode code, const std::string& text, bool dialogShowing,
                        IDeliveryErrorOutput& output) {
  {
    std::lock_guard guard(StoreLock());
    Store() = TDeliveryError{code, text};
  }
  // A C++ exception carries no raising address once caught.
  const std::string name(DeliveryErrorCodeName(code));
  output.DebugOutput(Format("[WARNING] - Code: %s - Address: %08X - Message: \"%s\"",
                            name.c_str(), 0u, text.c_str()));
  const bool deliveryCode = code == eeEmailSMTPError || code == eeWebHTTPError ||
                            code == eeWebHTTPSError || code == eeWebFTPError;
  if (dialogShowing && deliveryCode) output.ShowErrorBox(text);
}

void RecordDeliveryError(TOskedaLogErrorCode code, std::string_view channel, bool dialogShowing,
                         IDeliveryErrorOutput& output) {
  StoreDeliveryError(code, DeliveryErrorText(channel, std::current_exception()), dialogShowing,
                     output);
}
