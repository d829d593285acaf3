// Saves what a window shows as a 24-bit BMP file, for people to look at.
#pragma once

#include "platform/win/WinApi.h"

#include <string>

bool SaveWindowShot(HWND window, const std::string& path);
