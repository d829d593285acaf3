#include "report/dialog/ESourceLocationWin32.h"

#include "platform/win/UniqueHandle.h"

#include <string>

namespace {

UniqueFileHandle OpenSlot(const std::string& name) {
  return UniqueFileHandle(CreateFileA(name.c_str(), GENERIC_WRITE,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
}

}  // namespace

int SendSourceLocation(const TSourceLocationRecord& record) {
  char computer[MAX_COMPUTERNAME_LENGTH + 1] = {};
  DWORD size = sizeof computer;
  const bool named = GetComputerNameA(computer, &size) && size > 0;
  int written = 0;
  for (int n = 0; n < 4; ++n) {
    const std::string slotName = "\\mailslot\\OskedaLog" + std::to_string(n);
    UniqueFileHandle slot;
    if (named) slot = OpenSlot(std::string("\\\\") + computer + slotName);
    // Where no redirector resolves the computer's own name (Wine has none), "." names the
    // same local mailslot.
    if (!slot) slot = OpenSlot("\\\\." + slotName);
    if (!slot) continue;
    DWORD done = 0;
    if (WriteFile(slot.get(), record.data(), static_cast<DWORD>(record.size()), &done, nullptr) &&
        done == record.size())
      ++written;
  }
  return written;
}
