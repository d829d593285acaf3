// Where the error dialog keeps its window state: "OskedaLog.ini" in the Windows folder, or in
// the folder "OskedaLog" of the user's profile when the Windows folder's file cannot be opened
// for reading and writing.
#pragma once

#include <string>

std::string OskedaLogIniPath();
