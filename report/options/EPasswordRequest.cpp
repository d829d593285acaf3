#include "report/options/EPasswordRequest.h"

#include <algorithm>
#include <cstring>

const char PasswordRequestExportName[] = "OskedaLog_PasswordRequestEvent";
const char PasswordRequestExExportName[] = "OskedaLog_PasswordRequestEventEx";

namespace {

int Limit(int maxLen) { return maxLen < 0 || maxLen > PasswordMaxLength ? PasswordMaxLength : maxLen; }

}  // namespace

std::string ReadShortString(const std::uint8_t* buffer, int maxLen) {
  const int length = std::min<int>(buffer[0], Limit(maxLen));
  return std::string(reinterpret_cast<const char*>(buffer + 1), static_cast<std::size_t>(length));
}

void WriteShortString(std::uint8_t* buffer, int maxLen, std::string_view text) {
  const std::size_t length = std::min<std::size_t>(text.size(), static_cast<std::size_t>(Limit(maxLen)));
  buffer[0] = static_cast<std::uint8_t>(length);
  if (length) std::memcpy(buffer + 1, text.data(), length);
}

std::string AskPasswordExports(TPasswordRequestExExport* ex, TPasswordRequestExport* plain,
                               const TOskedaExceptionRecord* record) {
  std::uint8_t key[PasswordMaxLength + 1] = {};
  if (ex)
    ex(record, key, PasswordMaxLength);
  else if (plain)
    plain(key, PasswordMaxLength);
  return ReadShortString(key, PasswordMaxLength);
}
