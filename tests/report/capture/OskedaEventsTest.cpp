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

namespace {

class TDeliveryHandler : public TOskedaLogHandler {
 public:
  TDeliveryHandler() { RegisterOskedaLogHandler(this); }
  void ExceptionErrorNotify(const TOskedaExceptionRecord&, int action, const std::string& message,
                            bool& retry) override {
    trace += std::to_string(action) + ":" + message + (retry ? "+ " : "- ");
  }
  void AttachedFilesRequest(const TOskedaExceptionRecord&, std::vector<std::string>& files) override {
    files.push_back("handler.txt");
  }
};

void ProcessRetry(const TOskedaExceptionRecord*, int, const char*, bool* retry) { *retry = true; }

void ProcessFields(const TOskedaExceptionRecord*, std::vector<std::string>* names,
                   std::vector<std::string>* values) {
  names->push_back("user");
  values->push_back("dev");
}

void ModuleFiles(const TOskedaExceptionRecord*, std::vector<std::string>* files) {
  files->push_back("module.txt");
}

}  // namespace

TEST(OskedaEvents, DeliveryEventsReachEveryWayAndAnyOfThemMayAskForARetry) {
  trace.clear();
  OskedaProcessHandlers().ExceptionErrorNotify = &ProcessRetry;
  OskedaProcessHandlers().CustomFieldsRequest = &ProcessFields;
  TDeliveryHandler handler;
  bool retry = false;
  DeliverExceptionErrorNotify({}, nullptr, atAfterWeb, "HTTP error code: 500", retry);
  EXPECT_EQ(trace, "7:HTTP error code: 500- ");
  EXPECT_TRUE(retry);
  std::vector<std::string> files;
  DeliverAttachedFilesRequest({}, &ModuleFiles, files);
  EXPECT_EQ(files, (std::vector<std::string>{"module.txt", "handler.txt"}));
  std::vector<std::string> names, values;
  DeliverCustomFieldsRequest({}, nullptr, names, values);
  EXPECT_EQ(names, std::vector<std::string>{"user"});
  EXPECT_EQ(values, std::vector<std::string>{"dev"});
  OskedaProcessHandlers() = {};
}
