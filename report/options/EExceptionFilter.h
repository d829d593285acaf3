// Which exceptions the options keep from being reported.
#pragma once

#include <string>

#include "platform/SysUtils.h"

class TOskedaModuleOptions;

struct TOskedaFilterMatch {
  bool Filtered = false;
  int Index = -1;
  // The text to show instead of a report; empty for none.
  std::string Message;
};

// With FilterEnabled, the first entry of FilteredClasses that names the exception's class or
// one of its ancestors, with the message of the same index.
TOskedaFilterMatch MatchExceptionFilter(const TOskedaModuleOptions& options, const Exception& e);
