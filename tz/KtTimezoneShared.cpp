#include "tz/KtTimezoneShared.h"

#include "platform/SysUtils.h"

namespace {

// An error escaping here would end the program before main; a catalogue that cannot be read
// stays empty instead, and the windows' own catalogues report the error.
class TSharedTimeZones final : public TKtRegistryTimeZones {
 public:
  TSharedTimeZones() : TKtRegistryTimeZones(DefaultRegistryBackend(), TUnloaded{}) {
    try {
      Reload();
    } catch (const Exception&) {
      Clear();
    }
  }
};

}  // namespace

TKtRegistryTimeZones& KtSharedTimeZones() {
  static TSharedTimeZones catalogue;
  return catalogue;
}

namespace {

[[maybe_unused]] const bool loadedAtStartUp = (KtSharedTimeZones(), true);

}  // namespace
