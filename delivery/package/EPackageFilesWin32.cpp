#include "platform/win/WinApi.h"

#include <algorithm>

#include "delivery/package/EPackageFiles.h"
#include "platform/win/UniqueHandle.h"

namespace {

constexpr TDateTime UnixEpoch = 25569;
// 100-nanosecond intervals from 1601-01-01 to 1970-01-01.
constexpr unsigned long long FileTimeUnixEpoch = 116444736000000000ull;

std::string LastErrorText() {
  const DWORD code = GetLastError();
  char text[512] = "";
  FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, text,
                 sizeof text, nullptr);
  return text;
}

TDateTime FileTimeToDateTime(const FILETIME& time) {
  const unsigned long long ticks =
      static_cast<unsigned long long>(time.dwHighDateTime) << 32 | time.dwLowDateTime;
  if (ticks < FileTimeUnixEpoch) return 0;
  // Whole days plus milliseconds, held as EncodeDateTime holds an instant.
  const unsigned long long ms = (ticks - FileTimeUnixEpoch) / 10000;
  const unsigned long long day = 86400000;
  return UnixEpoch + static_cast<double>(ms / day) + static_cast<double>(ms % day) / MSecsPerDay;
}

}  // namespace

TPackageFile ReadPackageFile(const std::string& path) {
  UniqueFileHandle file(CreateFileA(path.c_str(), GENERIC_READ,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file)
    throw EFOpenError(Format("Cannot open file \"%s\". %s", path.c_str(), LastErrorText().c_str()));
  TPackageFile result;
  FILETIME written{};
  if (GetFileTime(file.get(), nullptr, nullptr, &written))
    result.modified = FileTimeToDateTime(written);
  std::uint8_t chunk[65536];
  for (;;) {
    DWORD n = 0;
    if (!ReadFile(file.get(), chunk, sizeof chunk, &n, nullptr))
      throw EReadError(
          Format("Cannot read file \"%s\". %s", path.c_str(), LastErrorText().c_str()));
    if (n == 0) break;
    result.bytes.insert(result.bytes.end(), chunk, chunk + n);
  }
  return result;
}

void WritePackageFile(const std::string& path, std::span<const std::uint8_t> bytes) {
  UniqueFileHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file)
    throw EFCreateError(
        Format("Cannot create file \"%s\". %s", path.c_str(), LastErrorText().c_str()));
  std::size_t done = 0;
  while (done < bytes.size()) {
    const DWORD want = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 24));
    DWORD n = 0;
    if (!WriteFile(file.get(), bytes.data() + done, want, &n, nullptr) || n == 0)
      throw EWriteError(
          Format("Cannot write file \"%s\". %s", path.c_str(), LastErrorText().c_str()));
    done += n;
  }
}

bool DeletePackageFile(const std::string& path) {
  return DeleteFileA(path.c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND;
}
