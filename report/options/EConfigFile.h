// The repository's reporting options file: an INI-style text the build compiles into the
// configuration container. config/README.md describes the format.
#pragma once

#include <string>
#include <string_view>

#include "platform/SysUtils.h"
#include "report/options/EStoredOptions.h"

// Carries "<line>: <reason>" for the first line that cannot be read.
DM_DECLARE_EXCEPTION(EConfigFileError, Exception)

// What the file says about the build rather than the options.
struct TConfigFileBuild {
  // [Build] DebugInfoKey: the password the names of the debug tables are enciphered with;
  // empty: stored plainly.
  std::string DebugInfoKey;
};

// The options the file gives, every field it leaves out at its default. Texts are taken as the
// options stream will store them (a final CR LF dropped), so compiling and loading the file
// gives back exactly this record. The build settings go to build when it is given.
TOskedaStoredOptions ParseConfigFile(std::string_view text, TConfigFileBuild* build = nullptr);
