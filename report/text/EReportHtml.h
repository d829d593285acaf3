// The report as an HTML page (the display of web programs and the "last page" attachment).
#pragma once

#include <string>
#include <string_view>

// The text made safe for a page: &, quotes, < and > as entities, pairs of spaces as
// "&nbsp;&nbsp;", each line break as "<br>" and CR LF.
std::string EscapeReportHtml(std::string_view text);

struct THtmlPageParams {
  std::string_view Title;
  std::string_view ReportId;  // goes into the "<!-- OskedaLog ID: ... -->" comment
  bool BackButton = false;    // a page shown in a browser gets an "Ok" button that goes back
};

// pageTemplate with the escaped report in place of "<%HTML_TAG%>", the title after its
// "<head>" (or at the start when it has none) and the identifying comment before the title.
std::string BuildHtmlPage(std::string_view report, std::string_view pageTemplate,
                          const THtmlPageParams& params);
