// The general section of a report (application, exception, active controls, computer,
// operating system, network) and the fields the duplicate check compares.
#pragma once

#include <string>

#include "report/options/ECoreOptions.h"
#include "report/text/EReportSnapshot.h"

// Rendered: every line ends with CR LF.
std::string BuildGeneralSection(const TReportSnapshot& snapshot,
                                const TOskedaModuleOptions& options);

// The values of 2.3, 2.2, 2.4 and 2.5, whether or not the report shows them.
struct TDuplicateCheckFields {
  std::string Module, Address, Type, Message;
  friend bool operator==(const TDuplicateCheckFields&, const TDuplicateCheckFields&) = default;
};
TDuplicateCheckFields DuplicateCheckFields(const TExceptionSnapshot& exception);
