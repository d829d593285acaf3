// The texts of WinInet's error numbers.
#pragma once

#include <span>
#include <string_view>
#include <string>

// The 46 entries, each the five-digit code, a space and the message.
std::span<const std::string_view> WinInetErrorTable();

// The server's last response when there is one (for FTP its last reply), otherwise the
// table's message for the code; empty for a code the table does not hold.
std::string WinInetErrorText(int code, std::string_view lastResponse);
