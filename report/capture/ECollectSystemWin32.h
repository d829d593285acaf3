// The value sources of the general section on Windows: the program, the active controls, the
// computer, the operating system and the network. Each source is guarded on its own: a query
// that fails leaves its value empty and is told with its field's progress code.
#pragma once

#include <string>

#include "report/capture/ECollectWin32.h"

TApplicationSnapshot CollectApplicationWin32(const TCaptureRequest& request);
TActiveControlsSnapshot CollectActiveControlsWin32(const TCaptureRequest& request);
// modulePath: the reporting module, whose drive gives the disk fields.
TSystemSnapshot CollectSystemWin32(const std::string& modulePath,
                                   const TSourceFailure& failed = {});
// Local time minus UTC in minutes, daylight saving included.
int LocalOffsetMinutesWin32();
TDateTime LocalNowWin32();
// The file of a module as the loader names it; empty when it cannot be read.
std::string ModuleFileNameWin32(void* module);
// The module that holds the address, 0 when none does.
void* ModuleOfAddressWin32(const void* address);
std::string LongPathNameWin32(const std::string& path);
// The description and version of a file's version resource; both empty without one.
void ReadFileVersionWin32(const std::string& path, std::string& description, std::string& version);
