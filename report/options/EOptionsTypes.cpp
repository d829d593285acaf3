#include "report/options/EOptionsTypes.h"

#include <array>

#include "platform/SysUtils.h"

namespace {

constexpr std::array<std::string_view, ReportFieldCount> kLabels = {
    "Application|Start Date",
    "Application|Name",
    "Application|Version Number",
    "Application|Parameters",
    "Application|Compilation Date",
    "Exception|Date",
    "Exception|Address",
    "Exception|Module",
    "Exception|Type",
    "Exception|Message",
    "Active Controls|Form Class",
    "Active Controls|Form Text",
    "Active Controls|Control Class",
    "Active Controls|Control Text",
    "Computer|Name",
    "Computer|User",
    "Computer|Total Memory",
    "Computer|Free Memory",
    "Computer|Total Disk",
    "Computer|Free Disk",
    "Computer|System Up Time",
    "Computer|Processor",
    "Computer|Display Mode",
    "Operating System|Type",
    "Operating System|Build #",
    "Operating System|Update",
    "Operating System|Language",
    "Network|IP Address",
    "Network|Submask",
    "Network|Gateway",
    "Network|DNS 1",
    "Network|DNS 2",
    "Network|DHCP",
};

}  // namespace

std::string_view ReportFieldLabel(TReportField field) {
  if (field >= ReportFieldCount)
    throw EListError(Format("Report field out of bounds (%d).", static_cast<int>(field)));
  return kLabels[field];
}
