// The decisions of the dispatcher and the reporting sequence that need no live process: the
// display mode, the safecall mark, the error-rate limit and the texts the sequence writes.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>

#include "platform/DateTime.h"

// How the report is shown: the error dialog, the standard output, an HTML page.
enum class TDisplayMode : std::uint8_t { Dialog = 0, Console = 1, HtmlPage = 2 };

enum class TProgramKind : std::uint8_t { Window, Console, Web };

// Kind 0 (raise notifications): the page for a web program, the console for a console
// program, else the dialog; Kind 1: the console for a console program, else the dialog;
// Kind 2: the page; anything else: the dialog.
TDisplayMode SelectDisplayMode(int kind, TProgramKind program);

extern const char* const SafeCallPrefix;  // "[SafeCall Exception]: "
bool HasSafeCallPrefix(std::string_view message);
// The message with the prefix in front, once.
std::string WithSafeCallPrefix(std::string_view message);

// The raise address a report shows for a language raise: the call of the throw, 5 bytes before
// the address it returns to.
constexpr std::uint32_t LanguageRaiseAddress(std::uint32_t returnAddress) {
  return returnAddress >= 5 ? returnAddress - 5 : 0;
}

// The times of the last errors, for the rate limit.
class TErrorTimes {
 public:
  // Appends now and drops the oldest while more than count are kept (count < 1 keeps one).
  void Add(TDateTime now, int count);
  // True when count times are kept and they span at most windowMinutes.
  bool LimitReached(int count, int windowMinutes) const;
  std::size_t Size() const { return times_.size(); }

 private:
  std::deque<TDateTime> times_;
};

// What the console display writes in one go: text 3, an empty line, the report, a line end.
std::string ConsoleReportText(std::string_view headline, std::string_view report);

// "[ERROR] - Section: %s - Address: %08X - Message: "%s"", and "General internal error." for
// an internal failure that carried no exception object.
std::string InternalErrorLine(std::string_view section, std::uint32_t address,
                              const std::string* message);
// "[WARNING] - Code: %s - Address: %08X - Message: "%s"".
std::string InternalWarningLine(std::string_view code, std::uint32_t address,
                                std::string_view message);
// "General '%s' error." without an internal message, else "[%s] %s".
std::string ActionErrorText(std::string_view step, std::string_view internalMessage);

// The bug report file an internal error leaves beside the module.
struct TInternalBugReport {
  std::string Date, OperatingSystem, Environment, Section, LastException, Message, ExceptionClass,
      CallStack;
  std::uint32_t Address = 0;
  std::string CodeBytes;  // the bytes at Address, as read
};
std::string InternalBugReportText(const TInternalBugReport& report);

// The file name of the development environment's executable, upper-cased.
extern const char* const DevelopmentEnvironmentExe;  // "DIALMOORSTUDIO.EXE"
bool IsDevelopmentEnvironmentExe(std::string_view exePath);
