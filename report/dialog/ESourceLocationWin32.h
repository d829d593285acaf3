// Hands a source-location record to the development tools listening on this computer.
#pragma once

#include "report/dialog/ESourceLocation.h"

// Writes the record to each of the mailslots "\\<computer>\mailslot\OskedaLog0" to
// "...OskedaLog3" that exists; the others are skipped. Returns how many took it.
int SendSourceLocation(const TSourceLocationRecord& record);
