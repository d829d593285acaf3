#include <gtest/gtest.h>

#include "report/text/EProcessValues.h"

using Items = std::vector<std::string>;

TEST(ProcessValues, ParametersAfterTheProgram) {
  EXPECT_EQ(CommandLineParameters("\"C:\\Program Files\\App.exe\" /a  \"b c\"\t d\"e f\"g"),
            (Items{"/a", "b c", "de fg"}));
  EXPECT_EQ(CommandLineParameters("App.exe"), Items{});
  EXPECT_EQ(CommandLineParameters("   "), Items{});
  // An unclosed quote runs to the end; an empty quoted item stays an item.
  EXPECT_EQ(CommandLineParameters("App.exe \"\" \"open end"), (Items{"", "open end"}));
}

TEST(ProcessValues, DriveRoot) {
  EXPECT_EQ(DriveRootOf("C:\\Windows\\App.exe"), "C:\\");
  EXPECT_EQ(DriveRootOf("z:"), "z:\\");
  EXPECT_EQ(DriveRootOf("\\\\server\\share\\dir\\App.exe"), "\\\\server\\share\\");
  EXPECT_EQ(DriveRootOf("\\\\server\\share"), "\\\\server\\share\\");
  EXPECT_EQ(DriveRootOf("\\\\\\x"), "");
  EXPECT_EQ(DriveRootOf("App.exe"), "");
  EXPECT_EQ(DriveRootOf(""), "");
}
