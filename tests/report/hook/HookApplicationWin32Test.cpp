// The hook the reporting subsystem puts on the runtime's exception handling, in miniature: an
// inline hook on a member function that runs inside a catch block of the dispatch point.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/gui/Application.h"
#include "report/hook/EHookWin32.h"

namespace {

using THandleException = void(__attribute__((thiscall)) *)(TApplication*, TObject*);
THandleException gHandleTrampoline = nullptr;
int gSeen = 0;
std::string gSeenMessage;

void __attribute__((thiscall)) ReportingHandleException(TApplication* self, TObject* sender) {
  ++gSeen;
  gSeenMessage = ExceptionMessage(std::current_exception());
  gHandleTrampoline(self, sender);
}

// A pointer to a non-virtual member function is its code address and a this-adjustment.
void* CodeOf(void (TApplication::*member)(TObject*) noexcept) {
  void* code = nullptr;
  std::memcpy(&code, &member, sizeof code);
  return code;
}

}  // namespace

TEST(HookApplicationWin32, AnExceptionOfAHandlerPassesThroughTheHookedHandleException) {
  TApplication app;
  int handedOn = 0;
  app.OnException = [&](TObject*, std::exception_ptr) { ++handedOn; };
  void* handleException = CodeOf(&TApplication::HandleException);
  gHandleTrampoline = reinterpret_cast<THandleException>(HookProcedure(
      handleException, reinterpret_cast<void*>(&ReportingHandleException), "SymbolID = 0"));

  app.Dispatch(&app, [] { throw EConvertError("handler failure"); });
  EXPECT_EQ(gSeen, 1);
  EXPECT_EQ(gSeenMessage, "handler failure");
  EXPECT_EQ(handedOn, 1);  // the hooked method still ran, through the trampoline
  EXPECT_EQ(app.HandledExceptionCount(), 1);

  EXPECT_TRUE(UnhookProcedure(handleException));
  app.Dispatch(&app, [] { throw EConvertError("after"); });
  EXPECT_EQ(gSeen, 1);
  EXPECT_EQ(handedOn, 2);
}
