#include "delivery/mail/EMailText.h"

#include <gtest/gtest.h>

#include "platform/DateTime.h"

TEST(MailText, StripControlCharsFoldsEachRunIntoOneSpace) {
  EXPECT_EQ(StripControlChars("Crash\r\nBcc: x@y\tz"), "Crash Bcc: x@y z");
  EXPECT_EQ(StripControlChars(std::string("\x01\x1F") + "a" + std::string(1, '\0')), " a ");
  EXPECT_EQ(StripControlChars("caf\xE9 ok"), "caf\xE9 ok");
}

TEST(MailText, SplitAddressListTrimsAndDropsEmptyItems) {
  EXPECT_EQ(SplitAddressList(" a@x.org ; b@y.org,"),
            (std::vector<std::string>{"a@x.org", "b@y.org"}));
  EXPECT_EQ(SplitAddressList(",;\t, c@z"), (std::vector<std::string>{"c@z"}));
  EXPECT_TRUE(SplitAddressList("").empty());
}

TEST(MailText, MailDateWritesTheZoneInRoundedHours) {
  const TDateTime t = EncodeDateTime(2026, 12, 8, 9, 5, 3, 0);  // a Tuesday
  const double minute = 1.0 / MinsPerDay;
  EXPECT_EQ(FormatMailDate(t, 330 * minute), "Tue, 8 Dec 2026 09:05:03 +0600");
  EXPECT_EQ(FormatMailDate(t, -300 * minute), "Tue, 8 Dec 2026 09:05:03 -0500");
  EXPECT_EQ(FormatMailDate(t, 600 * minute), "Tue, 8 Dec 2026 09:05:03 +1000");
  EXPECT_EQ(FormatMailDate(t, 0), "Tue, 8 Dec 2026 09:05:03 +0000");
  EXPECT_EQ(FormatMailDate(t, -210 * minute), "Tue, 8 Dec 2026 09:05:03 -0400");
  EXPECT_EQ(FormatMailDate(t, -600 * minute), "Tue, 8 Dec 2026 09:05:03 -1000");
  // Two clock readings a few seconds apart still give the whole zone.
  EXPECT_EQ(FormatMailDate(t, 60 * minute - 2.0 / SecsPerDay), "Tue, 8 Dec 2026 09:05:03 +0100");
  EXPECT_EQ(FormatMailDate(EncodeDateTime(2027, 5, 30, 23, 59, 59, 0), 0),
            "Sun, 30 May 2027 23:59:59 +0000");
}
