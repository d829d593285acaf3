// The text of a "mailto:" command line.
#pragma once

#include <string>
#include <string_view>

// Keeps "-", digits, letters and every byte from 128 up (mail programs read those as the system
// code page); every other byte becomes "%" and two upper-case hexadecimal digits.
std::string URLEncodeMailText(std::string_view text);

// "mailto:" + recipients unchanged + "?Subject=" + the encoded subject + "&Body=" + the encoded
// body followed by three line breaks and the report text.
std::string MailtoAddress(std::string_view recipients, std::string_view subject,
                          std::string_view body, std::string_view reportText);

// The handler's command line with every "%1" replaced by the address.
std::string MailtoCommandLine(std::string_view commandTemplate, std::string_view address);
