#include <gtest/gtest.h>

#include <stdexcept>

#include "platform/SysUtils.h"
#include "platform/gui/Application.h"

namespace {

DM_DECLARE_EXCEPTION(ETestFailure, EConvertError)

class Button : public TComponent {
 public:
  using TComponent::TComponent;
  TNotifyEvent OnClick;
  void Click() { TheApplication()->Fire(this, OnClick, this); }
};

class Form : public TComponent {
 public:
  Form() : TComponent(nullptr), button(new Button(this)) {
    button->Name = "btnLocNow";
    button->OnClick = Handler(this, &Form::ButtonClick);
  }
  void ButtonClick(TObject* Sender) {
    senders.push_back(Sender);
    if (toThrow) toThrow();
  }
  Button* button;
  std::vector<TObject*> senders;
  std::function<void()> toThrow;
};

struct Seen {
  TObject* sender;
  std::string className;
  std::string message;
};

// Replaces the application's exception event for one test.
class DispatchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = TheApplication()->OnException;
    TheApplication()->OnException = [this](TObject* Sender, std::exception_ptr E) {
      seen.push_back({Sender, ExceptionClassName(E), ExceptionMessage(E)});
    };
  }
  void TearDown() override { TheApplication()->OnException = saved_; }
  std::vector<Seen> seen;

 private:
  TExceptionEvent saved_;
};

TEST_F(DispatchTest, AnExceptionFromAHandlerReachesTheApplicationAndTheProgramGoesOn) {
  Form form;
  form.toThrow = [] { throw ETestFailure("Invalid argument to date encode"); };
  const int before = TheApplication()->HandledExceptionCount();
  form.button->Click();
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].sender, form.button);
  EXPECT_EQ(seen[0].className, "ETestFailure");
  EXPECT_EQ(seen[0].message, "Invalid argument to date encode");
  form.toThrow = nullptr;
  form.button->Click();
  EXPECT_EQ(form.senders, (std::vector<TObject*>{form.button, form.button}));
  EXPECT_EQ(seen.size(), 1u);
  EXPECT_EQ(TheApplication()->HandledExceptionCount(), before + 1);
}

TEST_F(DispatchTest, AbortIsSilent) {
  Form form;
  form.toThrow = [] { throw EAbort("Operation aborted"); };
  const int before = TheApplication()->HandledExceptionCount();
  form.button->Click();
  EXPECT_TRUE(seen.empty());
  EXPECT_EQ(TheApplication()->HandledExceptionCount(), before + 1);
}

TEST_F(DispatchTest, ForeignExceptionsAreNamedAndDescribed) {
  Form form;
  form.toThrow = [] { throw std::runtime_error("vector too long"); };
  form.button->Click();
  form.toThrow = [] { throw 42; };
  form.button->Click();
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0].className, "std::exception");
  EXPECT_EQ(seen[0].message, "vector too long");
  EXPECT_EQ(seen[1].className, "Unknown");
  EXPECT_EQ(seen[1].message, "Unknown exception");
}

// On Windows the exception is shown in a message box; the Windows GUI tests answer it.
#ifndef _WIN32
TEST_F(DispatchTest, WithoutAnEventTheExceptionIsShownAndAFailingEventFallsBackToIt) {
  Form form;
  form.toThrow = [] { throw Exception("Unable to write to C:\\clock.INI"); };
  TheApplication()->OnException = nullptr;
  ::testing::internal::CaptureStderr();
  form.button->Click();
  std::string shown = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(shown.find("Unable to write to C:\\clock.INI."), std::string::npos) << shown;

  TheApplication()->OnException = [](TObject*, std::exception_ptr) {
    throw std::logic_error("the reporter broke");
  };
  ::testing::internal::CaptureStderr();
  EXPECT_NO_FATAL_FAILURE(form.button->Click());
  shown = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(shown.find("Unable to write to"), std::string::npos) << shown;
}
#endif

TEST_F(DispatchTest, HintChangesRaiseTheHintEventOnce) {
  int hints = 0;
  std::string last;
  TheApplication()->OnHint = [&](TObject* Sender) {
    EXPECT_EQ(Sender, TheApplication());
    ++hints;
    last = TheApplication()->Hint();
    if (last == "bad") throw Exception("hint failed");
  };
  TheApplication()->SetHint("starting month");
  TheApplication()->SetHint("starting month");
  TheApplication()->SetHint("bad");
  TheApplication()->SetHint("");
  EXPECT_EQ(hints, 3);
  EXPECT_EQ(last, "");
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].message, "hint failed");
  TheApplication()->OnHint = nullptr;
}

TEST(ExceptionText, AFullStopEndsAMessageThatEndsInALetterOrDigit) {
  auto text = [](auto e) { return ExceptionDisplayText(std::make_exception_ptr(e)); };
  EXPECT_EQ(text(Exception("Failed")), "Failed.");
  EXPECT_EQ(text(Exception("Done.")), "Done.");
  EXPECT_EQ(text(Exception("Why?")), "Why?");
  EXPECT_EQ(text(Exception("")), "");
  EXPECT_TRUE(IsAbortException(std::make_exception_ptr(EAbort(""))));
  EXPECT_FALSE(IsAbortException(std::make_exception_ptr(Exception(""))));
  EXPECT_FALSE(IsAbortException(nullptr));
}

TEST(Components, OwnersFreeTheirComponentsAndADeletedComponentLeavesItsOwner) {
  static int destroyed;
  struct Probe : TComponent {
    using TComponent::TComponent;
    ~Probe() override { ++destroyed; }
  };
  destroyed = 0;
  auto* owner = new TComponent(nullptr);
  auto* a = new Probe(owner);
  a->Name = "a";
  auto* b = new Probe(owner);
  b->Name = "b";
  new Probe(a);
  EXPECT_EQ(owner->FindComponent("b"), b);
  delete b;
  EXPECT_EQ(owner->ComponentCount(), 1);
  EXPECT_EQ(owner->FindComponent("b"), nullptr);
  delete owner;
  EXPECT_EQ(destroyed, 3);
}

}  // namespace
