// Process facts the report takes apart itself: the parameters of a command line and the
// drive of a module's path.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// Parameters 1..n of a command line, split the way the runtime's parameter function splits
// it: blanks and control characters separate, double quotes group and are removed. The first
// item (the program) is not returned.
std::vector<std::string> CommandLineParameters(std::string_view commandLine);
// The root of the drive of a path, for the free-space query: "C:\" for "C:\A\B.exe",
// "\\server\share\" for a network path; empty when the path names no drive.
std::string DriveRootOf(std::string_view path);
