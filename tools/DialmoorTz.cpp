// DialmoorTz: the zone engine and the system zone catalogue on the command line.
#include "platform/win/WinApi.h"
#include <shellapi.h>

#include <iostream>
#include <memory>

#include "platform/SysUtils.h"
#include "tools/TzCommands.h"
#include "tz/KtTimezoneCatalogue.h"

namespace {

struct LocalFreeDeleter {
  void operator()(LPWSTR* block) const { LocalFree(block); }
};

// The arguments from the wide command line, without the best-fit mapping of the runtime's
// 8-bit arguments, which turns full-width digits into ASCII ones: a character the code page
// lacks becomes '?' and no longer passes for something else.
std::vector<std::string> Arguments() {
  int count = 0;
  std::unique_ptr<LPWSTR, LocalFreeDeleter> wide(CommandLineToArgvW(GetCommandLineW(), &count));
  std::vector<std::string> args;
  for (int i = 1; wide && i < count; ++i) {
    const LPWSTR text = wide.get()[i];
    const int size = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text, -1, nullptr, 0, nullptr, nullptr);
    std::string ansi(static_cast<size_t>(size > 0 ? size : 1), '\0');
    if (size > 0)
      WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text, -1, ansi.data(), size, nullptr, nullptr);
    ansi.resize(ansi.size() - 1);
    args.push_back(std::move(ansi));
  }
  return args;
}

}  // namespace

int main() {
  const std::vector<std::string> args = Arguments();
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
