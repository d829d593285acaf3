// What the options streams of releases before 500 hold differently.
#pragma once

#include <cstdint>

#include "report/options/EOptionsTypes.h"

// Before 500 the report field set took four bytes in an older order: the application,
// exception, active-control and computer fields as now but without "Computer|Display Mode"
// (bits 0..21), then the six network fields (bits 22..27), then the four operating-system
// fields (bits 28..31). Fields those releases did not know, and the bits past the last field,
// come out set, as in the default set.
TReportFieldSet ConvertLegacyReportFields(std::uint32_t legacyBits);

// Whether a stream of that stored version holds the customised text of that index. The send
// dialog texts (75..80) came with the SMTP delivery in 420; the support page text (21), the
// thread texts (68..74) and the send-result texts (94, 95) came in 500.
bool CustomizedTextStored(int version, int index);
