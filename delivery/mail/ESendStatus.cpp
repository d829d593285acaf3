#include "delivery/mail/ESendStatus.h"

#include "platform/SysUtils.h"

namespace {

class TNoSendDialog final : public ISendStatus {
 public:
  bool DialogShowing() override { return false; }
  void SetSendCounters(int, int) override {}
  void SetSendStatus(const std::string&) override {}
  void SetSendProgress(int) override {}
  void EndSendDialog() override {}
};

}  // namespace

ISendStatus& NoSendDialog() {
  static TNoSendDialog none;
  return none;
}

std::string SendStatusLine(std::string_view messageText, int current, int count,
                           std::string_view text) {
  return Format("%.*s %d/%d: ", static_cast<int>(messageText.size()), messageText.data(), current,
                count) +
         std::string(text);
}
