#include <gtest/gtest.h>

#include <string>

#include "report/capture/EOskedaEvents.h"

namespace {

std::string trace;

class TTracingHandler : public TOskedaLogHandler {
 public:
  explicit TTracingHandler(std::string name) : name_(std::move(name)) {
    RegisterOskedaLogHandler(this);
  }
  void ExceptionNotify(const TOskedaExceptionRecord&, bool& handle) override {
    trace += name_ + (handle ? "+ " : "- ");
    if (name_ == "veto") handle = false;
  }
  void CustomDataRequest(const TOskedaExceptionRecord& record, std::string& data) override {
    data += name_ + "@" + std::to_string(record.ThreadId) + ";";
  }

 private:
  std::string name_;
};

void ModuleNotify(const TOskedaExceptionRecord*, bool* handle) {
  trace += std::string("module") + (*handle ? "+ " : "- ");
}

void ProcessNotify(const TOskedaExceptionRecord*, bool* handle) {
  trace += std::string("process") + (*handle ? "+ " : "- ");
}

void ProcessData(const TOskedaExceptionRecord*, std::string* data) { *data += "process;"; }

}  // namespace

TEST(OskedaEvents, TheModuleThenHandlersNewestFirstThenTheProcessHandler) {
  trace.clear();
  OskedaProcessHandlers().ExceptionNotify = &ProcessNotify;
  {
    TTracingHandler older("older");
    TTracingHandler veto("veto");
    TTracingHandler newest("newest");
    TTracingHandler off("off");
    off.Enabled[evExceptionNotify] = false;
    bool handle = true;
    DeliverExceptionNotify({}, &ModuleNotify, handle);
    // Every way still hears of the event after a veto, and sees the cleared switch.
    EXPECT_EQ(trace, "module+ newest+ veto+ older- process- ");
    EXPECT_FALSE(handle);
  }
  trace.clear();
  bool handle = true;
  DeliverExceptionNotify({}, nullptr, handle);  // the handlers unregistered when they ended
  EXPECT_EQ(trace, "process+ ");
  OskedaProcessHandlers() = {};
}

TEST(OskedaEvents, CustomDataGathersFromEveryWay) {
  OskedaProcessHandlers().CustomDataRequest = &ProcessData;
  TTracingHandler a("a");
  TTracingHandler b("b");
  b.Enabled[evCustomDataRequest] = false;
  TOskedaExceptionRecord record;
  record.ThreadId = 7;
  std::string data;
  DeliverCustomDataRequest(record, nullptr, data);
  EXPECT_EQ(data, "a@7;process;");
  OskedaProcessHandlers() = {};
}
