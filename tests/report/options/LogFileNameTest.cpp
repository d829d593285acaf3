#include <gtest/gtest.h>

#include "report/options/ECoreOptions.h"
#include "report/options/ELogFileName.h"
#include "tests/report/options/OptionsTestSupport.h"

namespace {

TEST(OptionsLogFileName, FolderOrFileFromLogFolder) {
  EXPECT_EQ(BuildLogFileName("C:\\App\\Tool.exe", "C:\\Logs", false, ""), "C:\\Logs\\Tool.osk");
  EXPECT_EQ(BuildLogFileName("C:\\App\\Tool.exe", "C:\\Logs\\", false, ""), "C:\\Logs\\Tool.osk");
  EXPECT_EQ(BuildLogFileName("C:\\App\\Tool.exe", "C:\\Logs\\x.osk", false, ""), "C:\\Logs\\x.osk");
  EXPECT_EQ(BuildLogFileName("C:\\App\\Tool.exe", "C:\\Logs\\X.OSK", false, ""), "C:\\Logs\\X.OSK");
  // A folder whose name merely contains a dot is still a folder.
  EXPECT_EQ(BuildLogFileName("C:\\App\\Tool.exe", "C:\\My.Logs", false, ""),
            "C:\\My.Logs\\Tool.osk");
  EXPECT_EQ(BuildLogFileName("C:\\App\\Tool.exe", "C:\\x.osk\\Logs", false, ""),
            "C:\\x.osk\\Logs\\Tool.osk");
  EXPECT_EQ(BuildLogFileName("C:\\App\\Tool.exe", "", false, ""), "C:\\App\\Tool.osk");
  EXPECT_EQ(BuildLogFileName("C:\\App.v2\\Tool", "", false, ""), "C:\\App.v2\\Tool.osk");
  EXPECT_EQ(BuildLogFileName("Tool.exe", "", false, ""), "Tool.osk");
  EXPECT_EQ(BuildLogFileName("C:\\App\\Tool.exe", "D:", false, ""), "D:\\Tool.osk");
  EXPECT_EQ(BuildLogFileName("C:/App/Tool.exe", "", false, ""), "C:/App/Tool.osk");
}

TEST(OptionsLogFileName, ComputerNameGoesBeforeTheExtensionMadeSafe) {
  EXPECT_EQ(BuildLogFileName("C:\\App\\Tool.exe", "C:\\Logs", true, "BOX"),
            "C:\\Logs\\Tool_BOX.osk");
  EXPECT_EQ(BuildLogFileName("C:\\App\\Tool.exe", "C:\\Logs\\x.osk", true, "BOX"),
            "C:\\Logs\\x_BOX.osk");
  EXPECT_EQ(BuildLogFileName("C:\\App\\Tool.exe", "", true, "a\\b/c:d*e?f\"g<h>i|j\tk"),
            "C:\\App\\Tool_a_b_c_d_e_f_g_h_i_j_k.osk");
  EXPECT_EQ(SafeComputerName("Caf\xE9-PC.lan"), "Caf\xE9-PC.lan");
  EXPECT_EQ(SafeComputerName(std::string("a\0b", 3)), "a_b");
}

TEST(OptionsLogFileName, OptionsUseTheirOwnerTheModuleAndTheComputerInterface) {
  FakeEnvironment env;
  env.computerName = "WS:01";
  TOskedaModuleOptions o("C:\\App\\Tool.exe", false, &env);
  EXPECT_EQ(o.LogFileName(), "C:\\App\\Tool.osk");
  EXPECT_EQ(o.LogFileName("D:\\Other\\Lib.dll"), "D:\\Other\\Lib.osk");
  o.SetLogFolder("C:\\Logs");
  o.SetLogFlags(o.LogFlags().With(lfComputerInFileName));
  EXPECT_EQ(o.LogFileName(), "C:\\Logs\\Tool_WS_01.osk");

  TOskedaModuleOptions working("", false, &env);
  EXPECT_EQ(working.LogFileName(), "C:\\Program\\Dialmoor.osk");
}

}  // namespace
