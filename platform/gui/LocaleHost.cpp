#include "platform/gui/FormatSettings.h"

TFormatSettings SystemFormatSettings() { return DefaultFormatSettings(); }
