// The log's file access on the host: POSIX files, with the Windows path separators turned
// into '/' so the log logic builds its paths the same way on both builds.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "delivery/log/ELogFileSystem.h"

namespace {

std::string NativePath(std::string path) {
  std::replace(path.begin(), path.end(), '\\', '/');
  return path;
}

std::string SystemMessage() { return std::strerror(errno); }

class TFileDescriptor {
 public:
  explicit TFileDescriptor(int fd) : fd_(fd) {}
  TFileDescriptor(const TFileDescriptor&) = delete;
  TFileDescriptor& operator=(const TFileDescriptor&) = delete;
  ~TFileDescriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  int Get() const { return fd_; }

 private:
  int fd_;
};

// The folder's entry of a new file reaches the disk only with the folder itself.
void SyncFolderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
  TFileDescriptor fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (fd.Get() >= 0) ::fsync(fd.Get());
}

// Large files are written in pieces on both builds, so a kill can fall between two pieces
// here as it can on Windows.
constexpr std::size_t WriteChunk = 64 * 1024;

class THostLogFile : public TLogFileHandle {
 public:
  THostLogFile(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}

  std::string ReadAll() override {
    std::string text;
    char chunk[65536];
    for (off_t at = 0;;) {
      const ssize_t got = ::pread(fd_.Get(), chunk, sizeof chunk, at);
      if (got < 0) {
        if (errno == EINTR) continue;
        throw EReadError("Cannot read the file \"" + path_ + "\": " + SystemMessage());
      }
      if (got == 0) return text;
      text.append(chunk, static_cast<std::size_t>(got));
      at += got;
    }
  }

  std::string ReadTail(std::size_t count) override {
    struct stat info {};
    if (::fstat(fd_.Get(), &info) != 0)
      throw EReadError("Cannot read the file \"" + path_ + "\": " + SystemMessage());
    const std::size_t size = static_cast<std::size_t>(info.st_size);
    std::string tail(std::min(count, size), '\0');
    const ssize_t got = ::pread(fd_.Get(), tail.data(), tail.size(), static_cast<off_t>(size - tail.size()));
    if (got < 0) throw EReadError("Cannot read the file \"" + path_ + "\": " + SystemMessage());
    tail.resize(static_cast<std::size_t>(got));
    return tail;
  }

  void Rewrite(std::string_view data) override {
    std::size_t done = 0;
    while (done < data.size()) {
      const std::size_t chunk = std::min(data.size() - done, WriteChunk);
      const ssize_t put = ::pwrite(fd_.Get(), data.data() + done, chunk, static_cast<off_t>(done));
      if (put < 0) {
        if (errno == EINTR) continue;
        throw EWriteError("Cannot write the file \"" + path_ + "\": " + SystemMessage());
      }
      done += static_cast<std::size_t>(put);
    }
    if (::ftruncate(fd_.Get(), static_cast<off_t>(data.size())) != 0 || ::fsync(fd_.Get()) != 0)
      throw EWriteError("Cannot write the file \"" + path_ + "\": " + SystemMessage());
  }

  void Overwrite(std::uint64_t offset, std::string_view data) override {
    if (::pwrite(fd_.Get(), data.data(), data.size(), static_cast<off_t>(offset)) !=
        static_cast<ssize_t>(data.size()))
      throw EWriteError("Cannot write the file \"" + path_ + "\": " + SystemMessage());
  }

 private:
  TFileDescriptor fd_;
  std::string path_;
};

class THostLogFileSystem : public TLogFileSystem {
 public:
  std::unique_ptr<TLogFileHandle> Open(const std::string& path, bool readOnly) override {
    const std::string native = NativePath(path);
    const int fd = ::open(native.c_str(), (readOnly ? O_RDONLY : O_RDWR) | O_CLOEXEC);
    if (fd < 0) {
      if (errno == ENOENT) return nullptr;
      throw EFOpenError("Cannot open file \"" + path + "\". " + SystemMessage());
    }
    return std::make_unique<THostLogFile>(fd, path);
  }

  std::unique_ptr<TLogFileHandle> Create(const std::string& path) override {
    const std::string native = NativePath(path);
    const int fd = ::open(native.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) throw EFCreateError("Cannot create file \"" + path + "\". " + SystemMessage());
    SyncFolderOf(native);
    return std::make_unique<THostLogFile>(fd, path);
  }

  bool CanOpen(const std::string& path, bool readOnly) override {
    const std::string native = NativePath(path);
    TFileDescriptor fd(::open(native.c_str(), (readOnly ? O_RDONLY : O_RDWR) | O_CLOEXEC));
    if (fd.Get() >= 0) return true;
    if (errno != ENOENT || readOnly) return false;
    TFileDescriptor probe(::open(native.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0644));
    if (probe.Get() < 0) return false;
    ::unlink(native.c_str());
    return true;
  }

  bool Delete(const std::string& path) override {
    const std::string native = NativePath(path);
    if (::unlink(native.c_str()) != 0 && errno != ENOENT) return false;
    SyncFolderOf(native);
    return true;
  }

  bool ForceDirectories(const std::string& path) override {
    std::string native = NativePath(path);
    while (native.size() > 1 && native.back() == '/') native.pop_back();
    for (std::size_t at = 1; at <= native.size(); ++at) {
      if (at == native.size() || native[at] == '/') {
        const std::string part = native.substr(0, at);
        if (::mkdir(part.c_str(), 0755) != 0 && errno != EEXIST) return false;
      }
    }
    struct stat info {};
    return ::stat(native.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
  }

  std::string EnvironmentVariable(const std::string& name) override {
    const char* value = std::getenv(name.c_str());
    return value ? value : "";
  }

  std::string ProgramFileName() override {
    char path[4096];
    const ssize_t length = ::readlink("/proc/self/exe", path, sizeof path - 1);
    return length > 0 ? std::string(path, static_cast<std::size_t>(length)) : std::string();
  }
};

}  // namespace

TLogFileSystem& DefaultLogFileSystem() {
  static THostLogFileSystem fileSystem;
  return fileSystem;
}
