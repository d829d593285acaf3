#include <gtest/gtest.h>

#include "report/options/ECoreOptions.h"
#include "report/options/ECoreOptionsEx.h"
#include "report/options/ECurrentOptions.h"
#include "report/options/EExceptionFilter.h"
#include "tests/report/options/OptionsTestSupport.h"

namespace {

// Keeps the process's current options registration to one test.
class CurrentOptionsScope {
 public:
  explicit CurrentOptionsScope(TOskedaModuleOptions* options) {
    SetCurrentOskedaLogOptions(options);
  }
  ~CurrentOptionsScope() { SetCurrentOskedaLogOptions(nullptr); }
};

TEST(OptionsModel, DefaultsAreTheDocumentedOnes) {
  TOskedaModuleOptions o("C:\\App\\Tool.exe", true);
  EXPECT_TRUE(o.PublishChanges());
  EXPECT_EQ(o.UpdateDepth(), 0);
  EXPECT_EQ(o.OwnerModuleName(), "C:\\App\\Tool.exe");
  EXPECT_TRUE(o.Enabled());
  EXPECT_EQ(o.MailServerPort(), 25);
  EXPECT_EQ(o.CloseButtonAction(), cbaRestart);
  EXPECT_EQ(o.FreezeSeconds(), 60);
  EXPECT_EQ(o.FreezeText(), "The application seems to be frozen.");
  EXPECT_EQ(o.ReportFieldSet().Bits(), 0xFFFFFFFFFFull);
  EXPECT_TRUE(o.FilterEnabled());
  EXPECT_TRUE(o.CloseButtonEnabled());
  EXPECT_TRUE(o.SaveToLog());
  EXPECT_EQ(o.LogFlags().Bits(), 0x30);
  EXPECT_EQ(o.SendFlags().Bits(), 0x51);
  EXPECT_EQ(o.DialogFlags().Bits(), 0x1F);
  EXPECT_EQ(o.StackFlags().Bits(), 0x0F);
  EXPECT_EQ(StackKindMask(o.StackFlags()), 16u + 4u + 8u);
  // The named members, bfCopyOnFailure and bfKeepUnsent, are bits 0x20 and 0x40.
  EXPECT_EQ(o.BehaviourFlags(), (TBehaviourFlags{bfCopyOnFailure, bfKeepUnsent}));
  EXPECT_EQ(o.BehaviourFlags().Bits(), 0x60);
  EXPECT_EQ(o.LogCapacity(), 32);
  EXPECT_EQ(o.CloseButtonAfter(), 3);
  EXPECT_EQ(o.CrashAction(), cbaRestart);
  EXPECT_EQ(o.CrashCount(), 10);
  EXPECT_EQ(o.CrashWindowMinutes(), 1);
  EXPECT_EQ(o.MailChannel(), mcNone);
  EXPECT_EQ(o.WebChannel(), wcNone);
  EXPECT_EQ(o.UploadPort(), 0u);
  EXPECT_FALSE(o.MailSender().empty());
  EXPECT_EQ(o.GetText(3),
            "An error has occurred during program execution.\r\n"
            "Please read the following information for further details.");
  EXPECT_EQ(o.PageTemplate().substr(0, 16), "<html>\r\n  <head>");
  EXPECT_NE(o.PageTemplate().find("\r\n            <%HTML_TAG%>\r\n          </font>\r\n"),
            std::string::npos);
  EXPECT_EQ(o.PageTemplate().substr(o.PageTemplate().size() - 18), "  </body>\r\n</html>");

  FillEverything(o);
  o.SetEnabled(false);
  o.SetDefaults();
  TOskedaModuleOptions fresh("", false);
  EXPECT_TRUE(o.StoredOptions() == fresh.StoredOptions());
  EXPECT_TRUE(o.Enabled());
  EXPECT_EQ(o.OwnerModuleName(), "C:\\App\\Tool.exe");
}

TEST(OptionsModel, LogCapacityBelowOneStoresOne) {
  TOskedaModuleOptions o("", false);
  o.SetLogCapacity(0);
  EXPECT_EQ(o.LogCapacity(), 1);
  o.SetLogCapacity(-3);
  EXPECT_EQ(o.LogCapacity(), 1);
  o.SetLogCapacity(2);
  EXPECT_EQ(o.LogCapacity(), 2);
}

TEST(OptionsModel, TextIndexesOutsideTheTableRaise) {
  TOskedaModuleOptions o("", false);
  EXPECT_THROW(o.GetText(-1), EListError);
  EXPECT_THROW(o.GetText(96), EListError);
  EXPECT_THROW(o.SetText(96, "x"), EListError);
  o.SetText(95, "Failed");
  EXPECT_EQ(o.GetText(95), "Failed");
}

TEST(OptionsModel, AssignCopiesOptionsButNotIdentityOrSwitch) {
  TOskedaModuleOptions source("C:\\A\\Source.dll", false);
  FillEverything(source);
  source.SetLogCapacity(1);
  source.SetEnabled(false);
  FakeEnvironment env;
  TOskedaModuleOptions target("C:\\A\\Target.exe", true, &env);
  target.BeginUpdate();

  target.Assign(&source);
  EXPECT_TRUE(target.StoredOptions() == source.StoredOptions());
  EXPECT_TRUE(target.Enabled());
  EXPECT_TRUE(target.PublishChanges());
  EXPECT_EQ(target.UpdateDepth(), 1);
  EXPECT_EQ(target.OwnerModuleName(), "C:\\A\\Target.exe");
  EXPECT_TRUE(env.publishedModules.empty());

  target.Assign(&target);
  EXPECT_TRUE(target.StoredOptions() == source.StoredOptions());

  try {
    target.Assign(nullptr);
    FAIL() << "no error";
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "Impossible to assign nil as TOskedaModuleOptions.");
  }
}

TEST(OptionsModel, ChangesPublishOnceOutsideAndOncePerOutermostBracket) {
  FakeEnvironment env;
  TOskedaModuleOptionsEx o("C:\\App\\Tool.exe", true, &env);
  EXPECT_TRUE(env.publishedModules.empty());  // construction publishes nothing

  o.SetMailSubject("A");
  ASSERT_EQ(env.publishedModules.size(), 1u);
  EXPECT_EQ(env.publishedModules[0], "C:\\App\\Tool.exe");

  o.FilteredClasses().Add("EAbort");
  EXPECT_EQ(env.publishedModules.size(), 2u);

  o.BeginUpdate();
  o.BeginUpdate();
  o.SetMailSubject("B");
  o.SetMailBodyText("C");
  o.EndUpdate();
  EXPECT_EQ(env.publishedModules.size(), 2u);
  o.EndUpdate();
  EXPECT_EQ(env.publishedModules.size(), 3u);
  o.EndUpdate();  // unbalanced: no effect
  EXPECT_EQ(o.UpdateDepth(), 0);

  TOskedaModuleOptions source("", false);
  FillEverything(source);
  o.Assign(&source);
  EXPECT_EQ(env.publishedModules.size(), 4u);

  // The published area holds the marker byte and the options as they stand now.
  ASSERT_FALSE(env.lastBlock.empty());
  EXPECT_EQ(env.lastBlock[0], 1);
  TOskedaModuleOptions reader("", false);
  ASSERT_TRUE(LoadOptionsFromSharedArea(env.lastBlock, reader));
  EXPECT_EQ(reader.MailSubject(), source.MailSubject());
  EXPECT_EQ(reader.UploadPort(), source.UploadPort());
  EXPECT_FALSE(LoadOptionsFromSharedArea(std::vector<std::uint8_t>{0}, reader));
  EXPECT_FALSE(LoadOptionsFromSharedArea({}, reader));
}

TEST(OptionsModel, OnlyTheOwnModuleWithPublishingOnPublishes) {
  FakeEnvironment env;
  env.ownModule = "C:\\App\\Tool.exe";
  TOskedaModuleOptionsEx own("C:\\App\\Tool.exe", true, &env);
  TOskedaModuleOptionsEx foreign("C:\\App\\Plugin.dll", true, &env);
  TOskedaModuleOptionsEx silent("C:\\App\\Tool.exe", false, &env);
  foreign.SetMailSubject("x");
  silent.SetMailSubject("x");
  EXPECT_TRUE(env.publishedModules.empty());
  own.SetMailSubject("x");
  EXPECT_EQ(env.publishedModules.size(), 1u);
}

TEST(OptionsModel, FailedLoadChangesAndPublishesNothing) {
  FakeEnvironment env;
  TOskedaModuleOptionsEx o("C:\\App\\Tool.exe", true, &env);
  TOskedaModuleOptions source("", false);
  FillEverything(source);
  TMemoryStream full;
  source.SaveToStream(full);
  TMemoryStream cut(std::span<const std::uint8_t>(full.Bytes().data(), full.Size() - 1));
  EXPECT_THROW(o.LoadFromStream(cut), EReadError);
  EXPECT_TRUE(env.publishedModules.empty());
  EXPECT_EQ(o.UpdateDepth(), 0);
  TOskedaModuleOptions fresh("", false);
  EXPECT_TRUE(o.StoredOptions() == fresh.StoredOptions());
}

TEST(OptionsModel, FreezeWatcherFollowsTheCurrentOptionsOnChangesOnly) {
  FakeEnvironment env;
  TOskedaModuleOptionsEx current("", false, &env);
  TOskedaModuleOptionsEx other("", false, &env);
  CurrentOptionsScope scope(&current);

  other.SetFreezeWatch(true);
  other.SetEnabled(false);
  EXPECT_EQ(env.freezeCalls, "");

  current.SetFreezeWatch(true);
  current.SetFreezeWatch(true);
  current.SetEnabled(false);
  current.SetEnabled(false);
  current.SetEnabled(true);
  current.SetFreezeWatch(false);
  EXPECT_EQ(env.freezeCalls, "start;stop;start;stop;");

  // Assign sets FreezeWatch through its setter, so the watcher follows.
  env.freezeCalls.clear();
  current.Assign(&other);
  EXPECT_EQ(env.freezeCalls, "start;");
  current.SetEnabled(false);
  current.SetFreezeWatch(false);
  current.SetFreezeWatch(true);
  EXPECT_EQ(env.freezeCalls, "start;stop;stop;stop;");
}

TEST(OptionsModel, CurrentOptionsFailWithTheAssertionUntilRegistered) {
  EXPECT_EQ(FindCurrentOskedaLogOptions(), nullptr);
  try {
    CurrentOskedaLogOptions();
    FAIL() << "no error";
  } catch (const EAssertionFailed& e) {
    EXPECT_EQ(
        e.Message().rfind(
            "\r\nCannot use 'CurrentOskedaLogOptions' function without activate OskedaLog.\r\n"
            "To activate OskedaLog use the new IDE \"Project/OskedaLog Options...\" menu.",
            0),
        0u);
    EXPECT_NE(e.Message().find("ExceptionLog"), std::string::npos);
  }
  TOskedaModuleOptionsEx options("", false);
  CurrentOptionsScope scope(&options);
  EXPECT_EQ(&CurrentOskedaLogOptions(), &options);
}

DM_DECLARE_EXCEPTION(ETestBase, Exception)
DM_DECLARE_EXCEPTION(ETestDerived, ETestBase)

TEST(OptionsExceptionFilter, MatchesTheFirstEntryNamingTheClassOrAnAncestor) {
  TOskedaModuleOptions o("", false);
  o.SetFilteredClasses({"", "EConvertError", "ETestBase", "ETestDerived"});
  o.SetFilteredMessages({"", "", "Base message"});

  TOskedaFilterMatch m = MatchExceptionFilter(o, ETestDerived("x"));
  EXPECT_TRUE(m.Filtered);
  EXPECT_EQ(m.Index, 2);
  EXPECT_EQ(m.Message, "Base message");

  m = MatchExceptionFilter(o, EConvertError("x"));
  EXPECT_TRUE(m.Filtered);
  EXPECT_EQ(m.Index, 1);
  EXPECT_EQ(m.Message, "");

  EXPECT_FALSE(MatchExceptionFilter(o, EAbort("x")).Filtered);
  EXPECT_FALSE(MatchExceptionFilter(o, Exception("x")).Filtered);

  o.SetFilteredClasses({"Exception"});
  o.SetFilteredMessages({});
  EXPECT_TRUE(MatchExceptionFilter(o, ETestDerived("x")).Filtered);
  // Beyond the message list there is no message.
  EXPECT_EQ(MatchExceptionFilter(o, ETestDerived("x")).Message, "");
  o.SetFilterEnabled(false);
  EXPECT_FALSE(MatchExceptionFilter(o, ETestDerived("x")).Filtered);
}

}  // namespace
