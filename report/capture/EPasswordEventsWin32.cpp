// The password exports of a module built with the subsystem (cdecl, undecorated): the loader
// of a module's debug information, and the log's XML copy, ask them for the names' key.
#include "platform/win/WinApi.h"

#include "report/capture/EPasswordEvents.h"
#include "report/options/EPasswordRequest.h"

namespace {

// A handler's failure never reaches the module that asked: it keeps the key it had.
void Answer(const TOskedaExceptionRecord* record, std::uint8_t* key, int maxLen) {
  if (!key) return;
  try {
    WriteShortString(key, maxLen, RunPasswordRequest(record, ReadShortString(key, maxLen)));
  } catch (...) {
  }
}

}  // namespace

extern "C" __declspec(dllexport) void __cdecl OskedaLog_PasswordRequestEvent(std::uint8_t* key,
                                                                              int maxLen) {
  Answer(nullptr, key, maxLen);
}

extern "C" __declspec(dllexport) void __cdecl OskedaLog_PasswordRequestEventEx(
    const TOskedaExceptionRecord* record, std::uint8_t* key, int maxLen) {
  Answer(record, key, maxLen);
}
