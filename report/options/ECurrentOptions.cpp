#include "report/options/ECurrentOptions.h"

#include <atomic>

namespace {

std::atomic<TOskedaModuleOptions*> current{nullptr};

}  // namespace

TOskedaModuleOptions* FindCurrentOskedaLogOptions() noexcept { return current.load(); }

void SetCurrentOskedaLogOptions(TOskedaModuleOptions* options) noexcept { current.store(options); }

TOskedaModuleOptions& CurrentOskedaLogOptions() {
  TOskedaModuleOptions* options = current.load();
  if (options == nullptr)
    throw EAssertionFailed(
        "\r\nCannot use 'CurrentOskedaLogOptions' function without activate OskedaLog.\r\n"
        "To activate OskedaLog use the new IDE \"Project/OskedaLog Options...\" menu."
        " (ExceptionLog)");
  return *options;
}
