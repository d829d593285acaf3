#include "report/capture/EDispatchRules.h"

#include <algorithm>
#include <cctype>

#include "platform/SysUtils.h"

const char* const SafeCallPrefix = "[SafeCall Exception]: ";
const char* const DevelopmentEnvironmentExe = "DIALMOORSTUDIO.EXE";

TDisplayMode SelectDisplayMode(int kind, TProgramKind program) {
  switch (kind) {
    case 0:
      if (program == TProgramKind::Web) return TDisplayMode::HtmlPage;
      return program == TProgramKind::Console ? TDisplayMode::Console : TDisplayMode::Dialog;
    case 1:
      return program == TProgramKind::Console ? TDisplayMode::Console : TDisplayMode::Dialog;
    case 2:
      return TDisplayMode::HtmlPage;
    default:
      return TDisplayMode::Dialog;
  }
}

bool HasSafeCallPrefix(std::string_view message) { return message.starts_with(SafeCallPrefix); }

std::string WithSafeCallPrefix(std::string_view message) {
  if (HasSafeCallPrefix(message)) return std::string(message);
  return SafeCallPrefix + std::string(message);
}

void TErrorTimes::Add(TDateTime now, int count) {
  times_.push_back(now);
  const std::size_t keep = count < 1 ? 1 : static_cast<std::size_t>(count);
  while (times_.size() > keep) times_.pop_front();
}

bool TErrorTimes::LimitReached(int count, int windowMinutes) const {
  if (count < 1 || times_.size() < static_cast<std::size_t>(count)) return false;
  const TDateTime span = times_.back() - times_[times_.size() - static_cast<std::size_t>(count)];
  return span <= windowMinutes / 1440.0;
}

std::string ConsoleReportText(std::string_view headline, std::string_view report) {
  std::string text(headline);
  text += "\r\n\r\n";
  text += report;
  text += "\r\n";
  return text;
}

std::string InternalErrorLine(std::string_view section, std::uint32_t address,
                              const std::string* message) {
  return Format("[ERROR] - Section: %.*s - Address: %08X - Message: \"%s\"",
                static_cast<int>(section.size()), section.data(), address,
                message ? message->c_str() : "General internal error.");
}

std::string InternalWarningLine(std::string_view code, std::uint32_t address,
                                std::string_view message) {
  return Format("[WARNING] - Code: %.*s - Address: %08X - Message: \"%.*s\"",
                static_cast<int>(code.size()), code.data(), address,
                static_cast<int>(message.size()), message.data());
}

std::string ActionErrorText(std::string_view step, std::string_view internalMessage) {
  if (internalMessage.empty())
    return Format("General '%.*s' error.", static_cast<int>(step.size()), step.data());
  return Format("[%.*s] %.*s", static_cast<int>(step.size()), step.data(),
                static_cast<int>(internalMessage.size()), internalMessage.data());
}

std::string InternalBugReportText(const TInternalBugReport& r) {
  return Format(
      "Version   : %s\r\nDate      : %s\r\nOS        : %s\r\nRAD       : %s\r\nDump      : %s\r\n"
      "Section   : %s\r\nLastExcept: %s\r\nAddress   : $%08X\r\nException : %s\r\n"
      "Message   : %s\r\nCall Stack: %s",
      "5.1.12", r.Date.c_str(), r.OperatingSystem.c_str(), r.Environment.c_str(),
      r.CodeBytes.c_str(), r.Section.c_str(), r.LastException.c_str(), r.Address,
      r.ExceptionClass.c_str(), r.Message.c_str(), r.CallStack.c_str());
}

bool IsDevelopmentEnvironmentExe(std::string_view exePath) {
  const std::size_t slash = exePath.find_last_of("\\/");
  std::string name(slash == std::string_view::npos ? exePath : exePath.substr(slash + 1));
  std::transform(name.begin(), name.end(), name.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return name == DevelopmentEnvironmentExe;
}
