// The name of a module's report log file. Paths are Windows paths ('\\', '/' and ':' end a
// folder) on every build.
#pragma once

#include <string>
#include <string_view>

constexpr std::string_view LogFileExtension = ".osk";

// computerName with every character a file name cannot hold (control characters and
// \ / : * ? " < > |) replaced by '_'.
std::string SafeComputerName(std::string_view computerName);

// fileName with its extension replaced by ".osk", placed in logFolder (or, when logFolder is
// empty, in the folder of fileName); a logFolder that itself ends in ".osk" (any case) is the
// log file. With computerInFileName, "_" and the safe computer name go before the extension.
std::string BuildLogFileName(std::string_view fileName, std::string_view logFolder,
                             bool computerInFileName, std::string_view computerName);
