// The delivery error line for a debugger, and the error box while the send dialog shows.
#include "platform/win/WinApi.h"

#include "delivery/mail/EDeliveryError.h"

namespace {

class TWin32DeliveryErrorOutput final : public IDeliveryErrorOutput {
 public:
  void DebugOutput(const std::string& line) override { OutputDebugStringA(line.c_str()); }
  void ShowErrorBox(const std::string& text) override {
    MessageBoxA(nullptr, text.c_str(), "Error.", MB_OK | MB_ICONERROR | MB_TASKMODAL | MB_TOPMOST);
  }
};

}  // namespace

IDeliveryErrorOutput& PlatformDeliveryErrorOutput() {
  static TWin32DeliveryErrorOutput output;
  return output;
}
