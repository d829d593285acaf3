// The repository's reporting options file: an INI-style text the build compiles into the
// configuration container. config/README.md describes the format.
#pragma once

#include <string_view>

#include "platform/SysUtils.h"
#include "report/options/EStoredOptions.h"

// Carries "<line>: <reason>" for the first line that cannot be read.
DM_DECLARE_EXCEPTION(EConfigFileError, Exception)

// The options the file gives, every field it leaves out at its default. Texts are taken as the
// options stream will store them (a final CR LF dropped), so compiling and loading the file
// gives back exactly this record.
TOskedaStoredOptions ParseConfigFile(std::string_view text);
