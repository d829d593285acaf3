// The Windows helpers the two mail program routes share.
#pragma once

#include "platform/win/WinApi.h"

#include <string>

// The first visible top-level window of the process that no visible window owns (a hidden
// application window may own it); null when the process shows none.
HWND MainWindowOfProcess(DWORD processId);

// A string value (REG_SZ or REG_EXPAND_SZ, not expanded); empty when the key, the value or the
// text is missing. valueName null reads the key's default value.
std::string ReadRegistryText(HKEY root, const std::string& keyName, const char* valueName);

// Environment variables expanded into a result of at most 2048 characters; empty when the
// result does not fit.
std::string ExpandEnvironment(const std::string& text);

// The system's message for an error number, without its trailing line break.
std::string SystemErrorText(DWORD code);
