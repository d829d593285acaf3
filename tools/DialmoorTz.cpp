// DialmoorTz: the zone engine and the system zone catalogue on the command line.
#include <iostream>

#include "tools/TzCommands.h"
#include "platform/SysUtils.h"
#include "tz/KtTimezoneCatalogue.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  std::vector<TzZone> zones;
  // Catalogue errors (a malformed registry value) are reported like any other failure.
  try {
    TKtRegistryTimeZones catalogue;
    for (int i = 0; i < catalogue.Count(); ++i) {
      const TKtRegistryTimeZone& zone = catalogue.Items(i);
      zones.push_back({zone.KeyName(), zone.DisplayName(), zone.Rule()});
    }
  } catch (const Exception& e) {
    std::cerr << "DialmoorTz: cannot read the zone catalogue: " << e.Message() << '\n';
    return 2;
  }
  return RunTzCommand(args, zones, std::cout, std::cerr);
}
