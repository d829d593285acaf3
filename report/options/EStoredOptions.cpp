#include "report/options/EStoredOptions.h"

const char* const DefaultMailSender = "dialmoor.reports@localhost";

const std::string& DefaultPageTemplate() {
  static const std::string page =
      "<html>\r\n"
      "  <head>\r\n"
      "  </head>\r\n"
      "  <body TopMargin=10 LeftMargin=10>\r\n"
      "    <table width=\"100%\" border=\"0\">\r\n"
      "      <tr>\r\n"
      "        <td nowrap>\r\n"
      "          <font face=\"Lucida Console, Courier\" size=\"2\">\r\n"
      "            <%HTML_TAG%>\r\n"
      "          </font>\r\n"
      "        </td>\r\n"
      "      </tr>\r\n"
      "    </table>\r\n"
      "  </body>\r\n"
      "</html>";
  return page;
}
