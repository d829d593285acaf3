#include <gtest/gtest.h>

#include <set>

#include "platform/SysUtils.h"
#include "report/options/ECustomizedTexts.h"
#include "report/options/EOptionsTypes.h"

namespace {

TEST(CustomizedTexts, KeyTableHoldsEveryTextOnceUnderItsGroup) {
  const auto table = CustomizedTextKeyTable();
  ASSERT_EQ(table.size(), 107u);
  EXPECT_EQ(table[0].Name, "Texts");
  EXPECT_EQ(table[0].TextIndex, -1);
  std::set<int> seen;
  std::vector<std::string_view> groups;
  for (const TCustomizedTextKey& entry : table) {
    if (entry.TextIndex < 0) {
      groups.push_back(entry.Name);
    } else {
      EXPECT_TRUE(seen.insert(entry.TextIndex).second) << entry.TextIndex;
    }
  }
  EXPECT_EQ(seen.size(), 96u);
  EXPECT_EQ(groups,
            (std::vector<std::string_view>{
                "Texts", "Message captions", "Exception Dialog", "Send Dialog", "Reproduce Dialog",
                "Log", "Call Stack", "Threads Data", "Modules List", "CPU", "Send messages"}));

  EXPECT_EQ(CustomizedTextGroup(0), "Message captions");
  EXPECT_EQ(CustomizedTextKeyName(0), "Information");
  EXPECT_EQ(CustomizedTextGroup(21), "Exception Dialog");
  EXPECT_EQ(CustomizedTextKeyName(21), "Support message");
  EXPECT_EQ(CustomizedTextGroup(54), "Log");
  EXPECT_EQ(CustomizedTextKeyName(54), "Network");
  EXPECT_EQ(CustomizedTextGroup(75), "Send Dialog");
  EXPECT_EQ(CustomizedTextKeyName(75), "Caption");
  EXPECT_EQ(CustomizedTextGroup(81), "Reproduce Dialog");
  EXPECT_EQ(CustomizedTextKeyName(89), "Last Modified");
  EXPECT_EQ(CustomizedTextGroup(95), "Send messages");
  EXPECT_EQ(CustomizedTextKeyName(95), "Failure");
  EXPECT_THROW(CustomizedTextGroup(96), EListError);
}

TEST(CustomizedTexts, DefaultsAtTheGroupBoundaries) {
  const TCustomizedTexts texts = DefaultCustomizedTexts();
  EXPECT_EQ(texts[0], "Information.");
  EXPECT_EQ(texts[21], "Go to the Support Page");
  EXPECT_EQ(texts[22], "Application");
  EXPECT_EQ(texts[61], "Custom Information");
  EXPECT_EQ(texts[62], "Address");
  EXPECT_EQ(texts[68], "Main");
  EXPECT_EQ(texts[74], "Class");
  EXPECT_EQ(texts[75], "Send.");
  EXPECT_EQ(texts[83], "&OK");
  EXPECT_EQ(texts[89], "Modified");
  EXPECT_EQ(texts[93], "Memory Dump");
  EXPECT_EQ(texts[95], "Sorry, sending the message didn't work.");
  EXPECT_THROW(DefaultCustomizedText(-1), EListError);
}

TEST(ReportFields, LabelsFollowTheBitOrder) {
  EXPECT_EQ(ReportFieldLabel(rfApplicationStartDate), "Application|Start Date");
  EXPECT_EQ(ReportFieldLabel(rfComputerDisplayMode), "Computer|Display Mode");
  EXPECT_EQ(ReportFieldLabel(rfOperatingSystemType), "Operating System|Type");
  EXPECT_EQ(ReportFieldLabel(rfNetworkDHCP), "Network|DHCP");
  EXPECT_EQ(static_cast<int>(rfNetworkDHCP), ReportFieldCount - 1);
  EXPECT_THROW(ReportFieldLabel(static_cast<TReportField>(ReportFieldCount)), EListError);
}

}  // namespace
