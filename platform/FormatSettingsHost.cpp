#include "platform/FormatSettings.h"

TFormatSettings SystemFormatSettings() { return DefaultFormatSettings(); }
