// The password exports through which a module's debug-information loader, and the log's XML
// copy, ask for the key of enciphered names. A module built with the subsystem exports both
// (report/capture/EPasswordEventsWin32.cpp); the loader asks the Ex form of the module being
// loaded first, then the plain form.
//
// Both take the key as a short string: a length byte followed by that many characters, in a
// buffer of at least maxLen + 1 bytes. They start from the key the buffer holds and leave the
// answer there, at most maxLen (and never more than 255) characters.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

struct TOskedaExceptionRecord;

constexpr int PasswordMaxLength = 255;

extern const char PasswordRequestExportName[];    // "OskedaLog_PasswordRequestEvent"
extern const char PasswordRequestExExportName[];  // "OskedaLog_PasswordRequestEventEx"

using TPasswordRequestExport = void(std::uint8_t* key, int maxLen);
// record: the exception the key is asked for; null while a module loads.
using TPasswordRequestExExport = void(const TOskedaExceptionRecord* record, std::uint8_t* key,
                                      int maxLen);

// The text of a short string; its length byte is believed only up to maxLen.
std::string ReadShortString(const std::uint8_t* buffer, int maxLen);
// Writes text as a short string, cut to maxLen (a maxLen outside 0..255 counts as 255).
void WriteShortString(std::uint8_t* buffer, int maxLen, std::string_view text);

// Asks the exports the way the loader does: Ex when given, else plain, else nothing. Starts
// from an empty key; empty when no export answered.
std::string AskPasswordExports(TPasswordRequestExExport* ex, TPasswordRequestExport* plain,
                               const TOskedaExceptionRecord* record = nullptr);
