#include "report/options/EOptionsLegacy.h"

#include <array>

namespace {

constexpr std::array<TReportField, 32> kLegacyOrder = {
    rfApplicationStartDate,
    rfApplicationName,
    rfApplicationVersionNumber,
    rfApplicationParameters,
    rfApplicationCompilationDate,
    rfExceptionDate,
    rfExceptionAddress,
    rfExceptionModule,
    rfExceptionType,
    rfExceptionMessage,
    rfActiveControlsFormClass,
    rfActiveControlsFormText,
    rfActiveControlsControlClass,
    rfActiveControlsControlText,
    rfComputerName,
    rfComputerUser,
    rfComputerTotalMemory,
    rfComputerFreeMemory,
    rfComputerTotalDisk,
    rfComputerFreeDisk,
    rfComputerSystemUpTime,
    rfComputerProcessor,
    rfNetworkIPAddress,
    rfNetworkSubmask,
    rfNetworkGateway,
    rfNetworkDNS1,
    rfNetworkDNS2,
    rfNetworkDHCP,
    rfOperatingSystemType,
    rfOperatingSystemBuild,
    rfOperatingSystemUpdate,
    rfOperatingSystemLanguage,
};

}  // namespace

TReportFieldSet ConvertLegacyReportFields(std::uint32_t legacyBits) {
  TReportFieldSet set = TReportFieldSet::All();
  for (std::size_t bit = 0; bit < kLegacyOrder.size(); ++bit)
    set.Set(kLegacyOrder[bit], (legacyBits >> bit) & 1);
  return set;
}

bool CustomizedTextStored(int version, int index) {
  if (index >= 75 && index <= 80) return version >= 420;
  if (index == 21 || (index >= 68 && index <= 74) || index == 94 || index == 95)
    return version >= 500;
  return true;
}
