// How SMTP replies are read: the code of a reply and when a reply is complete.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string_view>

// The number formed by the run of decimal digits at the start of the text; nothing when the
// text does not start with a digit or the run does not fit in 32 bits.
std::optional<std::uint32_t> SmtpReplyCode(std::string_view reply);

// True when the code of the reply is one of `codes`.
bool SmtpReplyMatches(std::string_view reply, std::initializer_list<std::uint16_t> codes);

// True when the received text ends with a complete final reply line: a line ended by a line
// feed whose first three characters are digits followed by a space or by the line end.
// Lines of a multi-line reply carry a hyphen after the code, so a reply is never cut short.
bool EndsWithFinalReplyLine(std::string_view received);
