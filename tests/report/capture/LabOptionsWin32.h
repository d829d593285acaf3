// The labs' --options FILE: an options file in the format of config/DialmoorReport.ini, loaded
// into the options record of the lab's own module in place of its embedded options.
#pragma once

#include <string>

// False when the file cannot be read, the module has no options record, or the file cannot be
// used; in that last case `error` says why (else it is left empty).
bool LoadLabOptionsFile(const char* path, std::string& error);
