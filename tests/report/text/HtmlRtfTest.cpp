#include <gtest/gtest.h>

#include "report/options/EStoredOptions.h"
#include "report/text/EReportHtml.h"
#include "report/text/EReportRtf.h"

TEST(ReportHtml, EscapesTheReportText) {
  EXPECT_EQ(EscapeReportHtml("a & \"b\" 'c'   <d>\r\ne\nf"),
            "a &amp; &quot;b&quot; &#039;c&#039;&nbsp;&nbsp; &lt;d&gt;<br>\r\ne<br>\r\nf");
  EXPECT_EQ(EscapeReportHtml("    x"), "&nbsp;&nbsp;&nbsp;&nbsp;x");
}

TEST(ReportHtml, PageFromTheTemplate) {
  const std::string page = BuildHtmlPage("  1.1 <%HTML_TAG%>: x\r\n", DefaultPageTemplate(),
                                         {"Error <1>", "ab--cd-->", true});
  EXPECT_EQ(page.find("<html>\r\n  <head><!-- OskedaLog ID: ab-_cd-_&gt; --><title>Error &lt;1&gt;"
                      "</title>\r\n  </head>"),
            0u);
  EXPECT_NE(
      page.find("            &nbsp;&nbsp;1.1 &lt;%HTML_TAG%&gt;: x<br>\r\n<br><input type=button "
                "value=\"Ok\" OnClick=\"history.go(-1)\" style=\"width:75;height:25;z-index:100;"
                "font-style:normal;font-size:10pt;text-decoration:none;\">\r\n          </font>"),
      std::string::npos);
  const std::string bare = BuildHtmlPage("r", "<p><%HTML_TAG%></p>", {"t", "1", false});
  EXPECT_EQ(bare, "<!-- OskedaLog ID: 1 --><title>t</title><p>r</p>");
}

TEST(ReportRtf, GeneralTabColoursEachKindOfLine) {
  const std::string rtf = BuildGeneralRtf(
      "OskedaLog 5.1.12\r\n\r\nApplication:\r\n------\r\n  1.1 Name: {C:\\x}\xe9\r\n",
      {0, "Courier New", 9});
  EXPECT_EQ(
      rtf,
      "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1040{\\fonttbl{\\f0\\fmodern\\fprq1\\fcharset0 "
      "Courier New;}}\r\n{\\colortbl ;\\red0\\green100\\blue100;\\red0\\green0\\blue0;"
      "\\red40\\green40\\blue40;\\red0\\green0\\blue160;}\r\n"
      "\\f0\\fs18\r\n"
      "\\cf1\\b OskedaLog 5.1.12\\b0\\par\r\n"
      "\\cf2 \\par\r\n"
      "\\cf3\\b Application:\\b0\\par\r\n"
      "\\cf3 ------\\par\r\n"
      "\\cf2   1.1 Name: \\cf4 \\{C:\\\\x\\}\\'e9\\par\r\n"
      "}");
}

TEST(ReportRtf, CpuTabHasItsTabStops) {
  const std::string rtf =
      BuildCpuRtf("Registers:\r\n---\r\nEAX: 00000001   EDI: 00000002\r\n", {1, "Fixedsys", 10});
  EXPECT_NE(rtf.find("\\f0\\fs20\r\n\\pard\\tx1200\\tx1920\\tx2520\\tx3720\\tx9600\r\n"
                     "\\cf3\\b Registers:\\b0\\par\r\n\\cf3 ---\\par\r\n"
                     "\\cf2 EAX: 00000001   EDI: 00000002\\par\r\n}"),
            std::string::npos);
  EXPECT_NE(rtf.find("\\fcharset1 Fixedsys;"), std::string::npos);
}
