#include "report/text/EReportHtml.h"

#include <algorithm>
#include <cctype>

#include "platform/SysUtils.h"

namespace {

constexpr std::string_view kBackButton =
    "<br><input type=button value=\"Ok\" OnClick=\"history.go(-1)\" "
    "style=\"width:75;height:25;z-index:100;font-style:normal;font-size:10pt;"
    "text-decoration:none;\">";

std::size_t FindNoCase(std::string_view text, std::string_view what) {
  auto it = std::search(text.begin(), text.end(), what.begin(), what.end(), [](char a, char b) {
    return std::tolower(static_cast<unsigned char>(a)) ==
           std::tolower(static_cast<unsigned char>(b));
  });
  return it == text.end() ? std::string_view::npos : static_cast<std::size_t>(it - text.begin());
}

// A comment ends at the first "--"; the identifier must not end it early.
std::string CommentSafe(std::string_view text) {
  std::string out = EscapeReportHtml(text);
  for (std::size_t at; (at = out.find("--")) != std::string::npos;) out[at + 1] = '_';
  return out;
}

}  // namespace

std::string EscapeReportHtml(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 4);
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '"':
        out += "&quot;";
        break;
      case '\'':
        out += "&#039;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case ' ':
        if (i + 1 < text.size() && text[i + 1] == ' ') {
          out += "&nbsp;&nbsp;";
          ++i;
        } else {
          out += ' ';
        }
        break;
      case '\r':
        if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
        out += "<br>\r\n";
        break;
      case '\n':
        out += "<br>\r\n";
        break;
      default:
        out += c;
    }
  }
  return out;
}

std::string BuildHtmlPage(std::string_view report, std::string_view pageTemplate,
                          const THtmlPageParams& params) {
  std::string body = EscapeReportHtml(report);
  if (params.BackButton) body += kBackButton;

  std::string page;
  constexpr std::string_view marker = "<%HTML_TAG%>";
  std::size_t at = 0;
  for (std::size_t hit; (hit = pageTemplate.find(marker, at)) != std::string_view::npos;
       at = hit + marker.size())
    page.append(pageTemplate.substr(at, hit - at)).append(body);
  page.append(pageTemplate.substr(at));

  const std::string head =
      Format("<!-- OskedaLog ID: %s --><title>%s</title>", CommentSafe(params.ReportId).c_str(),
             EscapeReportHtml(params.Title).c_str());
  // Only the template part before the report is searched, so a report can never move it.
  const std::size_t headTag =
      FindNoCase(pageTemplate.substr(0, pageTemplate.find(marker)), "<head>");
  page.insert(headTag == std::string_view::npos ? 0 : headTag + 6, head);
  return page;
}
