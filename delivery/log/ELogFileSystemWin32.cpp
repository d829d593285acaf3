// The log's file access on Windows. Every handle shares reading, writing and deleting, so
// other processes (and other instances of the program) may use the log while it is open.
#include "platform/win/WinApi.h"

#include <algorithm>

#include "delivery/log/ELogFileSystem.h"
#include "platform/win/UniqueHandle.h"

namespace {

constexpr DWORD FullSharing = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

std::string SystemMessage(DWORD code) {
  char* buffer = nullptr;
  const DWORD length = ::FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<char*>(&buffer), 0, nullptr);
  std::string text = length ? std::string(buffer, length) : "System error " + std::to_string(code);
  if (buffer) ::LocalFree(buffer);
  while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == ' '))
    text.pop_back();
  return text;
}

bool IsMissing(DWORD code) { return code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND; }

class TWin32LogFile : public TLogFileHandle {
 public:
  TWin32LogFile(UniqueFileHandle handle, std::string path)
      : handle_(std::move(handle)), path_(std::move(path)) {}

  std::string ReadAll() override {
    LARGE_INTEGER start{};
    if (!::SetFilePointerEx(handle_.get(), start, nullptr, FILE_BEGIN)) Fail<EReadError>("read");
    std::string text;
    char chunk[65536];
    for (;;) {
      DWORD got = 0;
      if (!::ReadFile(handle_.get(), chunk, sizeof chunk, &got, nullptr)) Fail<EReadError>("read");
      if (got == 0) return text;
      text.append(chunk, got);
    }
  }

  std::string ReadTail(std::size_t count) override {
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(handle_.get(), &size)) Fail<EReadError>("read");
    const std::size_t length = std::min<std::size_t>(count, static_cast<std::size_t>(size.QuadPart));
    LARGE_INTEGER at;
    at.QuadPart = size.QuadPart - static_cast<LONGLONG>(length);
    std::string tail(length, '\0');
    DWORD got = 0;
    if (!::SetFilePointerEx(handle_.get(), at, nullptr, FILE_BEGIN) ||
        !::ReadFile(handle_.get(), tail.data(), static_cast<DWORD>(length), &got, nullptr))
      Fail<EReadError>("read");
    tail.resize(got);
    return tail;
  }

  void Rewrite(std::string_view data) override {
    LARGE_INTEGER start{};
    if (!::SetFilePointerEx(handle_.get(), start, nullptr, FILE_BEGIN)) Fail<EWriteError>("write");
    // One write for the whole file: each call is a trip through the system (and under Wine
    // through its server); a short write goes on from where it stopped.
    std::size_t done = 0;
    while (done < data.size()) {
      const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(data.size() - done, 1u << 30));
      DWORD put = 0;
      if (!::WriteFile(handle_.get(), data.data() + done, chunk, &put, nullptr) || put == 0)
        Fail<EWriteError>("write");
      done += put;
    }
    if (!::SetEndOfFile(handle_.get()) || !::FlushFileBuffers(handle_.get()))
      Fail<EWriteError>("write");
  }

  void Overwrite(std::uint64_t offset, std::string_view data) override {
    LARGE_INTEGER at;
    at.QuadPart = static_cast<LONGLONG>(offset);
    DWORD put = 0;
    if (!::SetFilePointerEx(handle_.get(), at, nullptr, FILE_BEGIN) ||
        !::WriteFile(handle_.get(), data.data(), static_cast<DWORD>(data.size()), &put, nullptr) ||
        put != data.size())
      Fail<EWriteError>("write");
  }

 private:
  template <typename Error>
  [[noreturn]] void Fail(const char* verb) {
    throw Error(std::string("Cannot ") + verb + " the file \"" + path_ + "\": " +
                SystemMessage(::GetLastError()));
  }

  UniqueFileHandle handle_;
  std::string path_;
};

class TWin32LogFileSystem : public TLogFileSystem {
 public:
  std::unique_ptr<TLogFileHandle> Open(const std::string& path, bool readOnly) override {
    UniqueFileHandle handle(::CreateFileA(path.c_str(), GenericAccess(readOnly), FullSharing, nullptr,
                                     OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!handle) {
      const DWORD code = ::GetLastError();
      if (IsMissing(code)) return nullptr;
      throw EFOpenError("Cannot open file \"" + path + "\". " + SystemMessage(code));
    }
    return std::make_unique<TWin32LogFile>(std::move(handle), path);
  }

  std::unique_ptr<TLogFileHandle> Create(const std::string& path) override {
    UniqueFileHandle handle(::CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FullSharing,
                                     nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!handle)
      throw EFCreateError("Cannot create file \"" + path + "\". " + SystemMessage(::GetLastError()));
    return std::make_unique<TWin32LogFile>(std::move(handle), path);
  }

  bool CanOpen(const std::string& path, bool readOnly) override {
    UniqueFileHandle handle(::CreateFileA(path.c_str(), GenericAccess(readOnly), FullSharing, nullptr,
                                     OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (handle) return true;
    if (!IsMissing(::GetLastError()) || readOnly) return false;
    UniqueFileHandle probe(::CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FullSharing,
                                    nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    return probe.valid();
  }

  bool Delete(const std::string& path) override {
    return ::DeleteFileA(path.c_str()) || IsMissing(::GetLastError());
  }

  bool ForceDirectories(const std::string& path) override {
    std::string folder = path;
    while (folder.size() > 3 && (folder.back() == '\\' || folder.back() == '/')) folder.pop_back();
    for (std::size_t at = 0; at <= folder.size(); ++at) {
      if (at == folder.size() || folder[at] == '\\' || folder[at] == '/') {
        const std::string part = folder.substr(0, at);
        if (part.empty() || part.back() == ':') continue;
        ::CreateDirectoryA(part.c_str(), nullptr);
      }
    }
    const DWORD attributes = ::GetFileAttributesA(folder.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
  }

  std::string EnvironmentVariable(const std::string& name) override {
    char buffer[32768];
    const DWORD length = ::GetEnvironmentVariableA(name.c_str(), buffer, sizeof buffer);
    return length > 0 && length < sizeof buffer ? std::string(buffer, length) : std::string();
  }

  std::string ProgramFileName() override {
    char buffer[MAX_PATH * 4];
    const DWORD length = ::GetModuleFileNameA(nullptr, buffer, sizeof buffer);
    return std::string(buffer, length < sizeof buffer ? length : 0);
  }

 private:
  static DWORD GenericAccess(bool readOnly) {
    return readOnly ? GENERIC_READ : GENERIC_READ | GENERIC_WRITE;
  }
};

}  // namespace

TLogFileSystem& DefaultLogFileSystem() {
  static TWin32LogFileSystem fileSystem;
  return fileSystem;
}
