// The search for a handler over real frames: the compiler's own tables, the unwinder's own walk.
// A probe stands where a throw would be; each case runs on a thread of its own, so that no
// frame of the test runner (which catches everything) lies above it.
#include <gtest/gtest.h>

#include "platform/win/WinApi.h"

#include <functional>
#include <stdexcept>

#include "platform/SysUtils.h"
#include "report/capture/EHandlerSearchWin32.h"

namespace {

struct TBase {
  virtual ~TBase() = default;
};
struct TDerived : TBase {};
struct TOther {};

volatile int sideEffect = 0;
TThrowOutlook lastOutlook = TThrowOutlook::Unknown;

// Stands for __cxa_throw: the search starts at the frame its call returns to.
template <typename T>
__attribute__((noinline)) void ProbeThrowOf(T object) {
  lastOutlook = SearchThrowHandler(&object, &typeid(T),
                                   static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(
                                       __builtin_return_address(0))));
  if (sideEffect) throw object;  // gives the callers' tables a real throw to prepare for
}

struct TCleanup {
  ~TCleanup() { sideEffect = sideEffect + 0; }
};

DWORD WINAPI RunBody(void* body) {
  reinterpret_cast<void (*)()>(body)();
  return 0;
}

TThrowOutlook OnOwnThread(void (*body)()) {
  lastOutlook = TThrowOutlook::Unknown;
  HANDLE thread = CreateThread(nullptr, 0, &RunBody, reinterpret_cast<void*>(body), 0, nullptr);
  WaitForSingleObject(thread, INFINITE);
  CloseHandle(thread);
  return lastOutlook;
}

__attribute__((noinline)) void DerivedUnderBaseCatch() {
  try {
    ProbeThrowOf(TDerived{});
  } catch (const TBase&) {
    sideEffect = 1;
  }
}

__attribute__((noinline)) void DerivedUnderOtherCatch() {
  try {
    ProbeThrowOf(TDerived{});
  } catch (const TOther&) {
    sideEffect = 1;
  }
}

__attribute__((noinline)) void ThroughCleanupToCatchAll() {
  try {
    TCleanup cleanup;
    [&]() __attribute__((noinline)) {
      TCleanup inner;
      ProbeThrowOf(42);
    }();
  } catch (...) {
    sideEffect = 1;
  }
}

__attribute__((noinline)) void UnderNoexcept() noexcept { ProbeThrowOf(std::runtime_error("x")); }

__attribute__((noinline)) void CaughtInsideNoexcept() noexcept {
  try {
    ProbeThrowOf(std::runtime_error("x"));
  } catch (const std::exception&) {
    sideEffect = 1;
  }
}

}  // namespace

TEST(HandlerSearch, ACatchOfABaseClassTakesADerivedThrow) {
  EXPECT_EQ(OnOwnThread(&DerivedUnderBaseCatch), TThrowOutlook::Caught);
}

TEST(HandlerSearch, WithOnlyACatchOfAnotherTypeNothingTakesIt) {
  EXPECT_EQ(OnOwnThread(&DerivedUnderOtherCatch), TThrowOutlook::Uncaught);
  EXPECT_EQ(OnOwnThread([] { ProbeThrowOf(1); }), TThrowOutlook::Uncaught);
}

TEST(HandlerSearch, CleanUpsAreWalkedThroughToAnOuterCatchAll) {
  EXPECT_EQ(OnOwnThread(&ThroughCleanupToCatchAll), TThrowOutlook::Caught);
}

TEST(HandlerSearch, ANoexceptFrameEndsTheProgramUnlessACatchComesFirst) {
  EXPECT_EQ(OnOwnThread(&UnderNoexcept), TThrowOutlook::Uncaught);
  EXPECT_EQ(OnOwnThread(&CaughtInsideNoexcept), TThrowOutlook::Caught);
}

TEST(HandlerSearch, OnlyAnAbortAndItsDescendantsAreAborts) {
  EAbort abort("stop");
  Exception plain("x");
  int number = 3;
  EXPECT_TRUE(IsThrownAbort(&abort, &typeid(EAbort)));
  EXPECT_FALSE(IsThrownAbort(&plain, &typeid(Exception)));
  EXPECT_FALSE(IsThrownAbort(&number, &typeid(int)));
}
