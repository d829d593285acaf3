// The value sources of a report run one by one under a guard: a source that throws leaves its
// value as it was, and the failure is handed on with the progress code that names the source,
// for the internal-error line (which a developer sees under a debugger).
#pragma once

#include <exception>
#include <functional>

#include "report/options/EOptionsTypes.h"

using TSourceFailure = std::function<void(int progress, const std::exception_ptr& error)>;

// Hands the exception being handled to failed (when set); what failed throws stays here.
inline void TellSourceFailure(int progress, const TSourceFailure& failed) noexcept {
  if (!failed) return;
  try {
    failed(progress, std::current_exception());
  } catch (...) {
  }
}

// Runs source; whatever it throws goes to failed (when set), and nothing leaves here.
template <typename F>
void GuardedSource(int progress, const TSourceFailure& failed, F&& source) noexcept {
  try {
    source();
  } catch (...) {
    TellSourceFailure(progress, failed);
  }
}

// The progress codes of the collection: 702200 for the exception's own values, then one per
// field of the general section in the order of the report fields (702201 Start Date to 702233
// DHCP; a source of several fields names the first), and 7021 on for the stack and module
// blocks.
constexpr int ExceptionValuesProgress = 702200;
constexpr int FieldProgress(TReportField field) { return 702201 + static_cast<int>(field); }
enum TCollectProgress : int {
  pcModuleList = 7021,      // enumerating the loaded modules
  pcModuleRows = 7022,      // size, time, description and version of each module
  pcExceptionStack = 7023,  // the exception thread's call stack
  pcThreadStacks = 7024,    // the other threads' call stacks (suspended for their context)
  pcLocalOffset = 7025,     // the local offset from UTC of the report's dates
};
