// The zone unit's own catalogue, created and loaded when the program starts, before any
// window exists, and freed when it ends. Only programs that link dm_tz_shared have it.
#pragma once

#include "tz/KtTimezoneCatalogue.h"

TKtRegistryTimeZones& KtSharedTimeZones();
