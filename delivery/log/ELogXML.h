// The XML copy of reports: one report as a "Log" element with its general fields, call-stack
// threads and lines, modules, registers, stack and memory dump.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "delivery/log/EEncrypt.h"

// namesKey: the key of the enciphered call-stack names; without one they stay as stored.
std::string ReportToXML(std::string_view report, const std::optional<TCipherKey>& namesKey);
// Every report's "Log" element inside one "Doc" element.
std::string LogToXML(const std::vector<std::string>& reports,
                     const std::optional<TCipherKey>& namesKey);
// text with a CR LF after every line, as it is saved.
std::string TextAsLines(std::string_view text);
// Every line of text with indent in front.
std::string IndentLines(std::string_view text, std::string_view indent);
