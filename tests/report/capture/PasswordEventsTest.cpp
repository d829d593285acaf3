// The key request: handler objects newest first (each with its own switch), then the
// process-wide handler, each seeing what the one before left.
#include <gtest/gtest.h>

#include "report/capture/EPasswordEvents.h"

namespace {

class TAppendingHandler : public TOskedaPasswordHandler {
 public:
  explicit TAppendingHandler(std::string mark) : mark_(std::move(mark)) {
    RegisterOskedaPasswordHandler(this);
  }
  void PasswordRequest(const TOskedaExceptionRecord*, std::string& key) override { key += mark_; }

 private:
  std::string mark_;
};

void ProcessWide(const TOskedaExceptionRecord* record, std::string* key) {
  *key += record ? "+p(record)" : "+p";
}

TEST(PasswordEvents, HandlersRunNewestFirstThenTheProcessWideOne) {
  EXPECT_EQ(RunPasswordRequest(nullptr, "k"), "k");
  TAppendingHandler older("+old");
  {
    TAppendingHandler newer("+new");
    TAppendingHandler off("+off");
    off.Enabled = false;
    SetOskedaPasswordRequestHandler(&ProcessWide);
    EXPECT_EQ(RunPasswordRequest(nullptr, "k"), "k+new+old+p");
    const TOskedaExceptionRecord record;
    EXPECT_EQ(RunPasswordRequest(&record, ""), "+new+old+p(record)");
  }
  // Destroyed handlers have left the list.
  EXPECT_EQ(RunPasswordRequest(nullptr, ""), "+old+p");
  SetOskedaPasswordRequestHandler(nullptr);
  EXPECT_EQ(RunPasswordRequest(nullptr, ""), "+old");
}

}  // namespace
