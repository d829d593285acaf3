// Reading report texts back: splitting the log file's text into reports, the numbered field
// values and the sections of one report, by the borders and field numbers its writer puts in.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

// Every lone CR and every lone LF becomes CR LF.
std::string NormalizeLineBreaks(std::string_view text);

// The stored reports of a log file's text, each with the three line breaks that end it.
// Text that holds no table border (a line ending in "-" followed by one beginning with "|")
// is not a report and is dropped.
std::vector<std::string> SplitLogText(std::string_view fileText);

// The value of field id ("2.5") of a report, with its continuation lines joined by CR LF, the
// writer's ":_" turned back into ": ", its "." placeholder lines empty again, and trimmed.
// Empty when the report has no such field.
std::string ReportFieldValue(std::string_view report, std::string_view id);

// The value as the report writer stores it after the field's ": " when the value starts at
// the given column: line breaks as CR LF after every line, ": " as ":_" and empty lines as
// "." in values of several lines, continuation lines indented to that column.
std::string FormatFieldValue(std::string_view value, std::size_t column);

// Whether every field ids[i] of the report holds exactly values[i] (as the writer formats it).
bool ReportHasFieldValues(std::string_view report, std::span<const std::string> ids,
                          std::span<const std::string> values);

// The sections of one report; each is empty when the report does not hold it.
std::string ReportVersion(std::string_view report);
std::string ReportHeaderPart(std::string_view report);
std::string ReportCallStack(std::string_view report);
std::string ReportModules(std::string_view report);
std::string ReportProcessor(std::string_view report);
std::string ReportReproduceText(std::string_view report);

// The lines of a text split at CR LF (a final line break ends the last line).
std::vector<std::string_view> SplitCrlfLines(std::string_view text);
// Without the characters up to and including the space at either end.
std::string_view TrimText(std::string_view text);
std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to);
