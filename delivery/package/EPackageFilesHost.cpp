#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "delivery/package/EPackageFiles.h"

namespace {

class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  ~FileDescriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  int Get() const { return fd_; }
  // Closing reports the last write errors of some file systems.
  bool Close() {
    const int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0;
  }

 private:
  int fd_;
};

constexpr TDateTime UnixEpoch = 25569;

}  // namespace

TPackageFile ReadPackageFile(const std::string& path) {
  FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (fd.Get() < 0)
    throw EFOpenError(Format("Cannot open file \"%s\". %s", path.c_str(), std::strerror(errno)));
  TPackageFile file;
  struct stat st {};
  if (::fstat(fd.Get(), &st) == 0) {
    if (!S_ISREG(st.st_mode)) throw EFOpenError(Format("\"%s\" is not a file.", path.c_str()));
    // Whole days plus milliseconds, held as EncodeDateTime holds an instant.
    const long long ms =
        static_cast<long long>(st.st_mtim.tv_sec) * 1000 + st.st_mtim.tv_nsec / 1000000;
    const long long day = 86400000;
    const long long days = ms >= 0 ? ms / day : -((-ms + day - 1) / day);
    file.modified =
        UnixEpoch + static_cast<double>(days) + static_cast<double>(ms - days * day) / MSecsPerDay;
  }
  std::uint8_t chunk[65536];
  for (;;) {
    const ssize_t n = ::read(fd.Get(), chunk, sizeof chunk);
    if (n < 0) {
      if (errno == EINTR) continue;
      throw EReadError(Format("Cannot read file \"%s\". %s", path.c_str(), std::strerror(errno)));
    }
    if (n == 0) break;
    file.bytes.insert(file.bytes.end(), chunk, chunk + n);
  }
  return file;
}

void WritePackageFile(const std::string& path, std::span<const std::uint8_t> bytes) {
  FileDescriptor fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
  if (fd.Get() < 0)
    throw EFCreateError(
        Format("Cannot create file \"%s\". %s", path.c_str(), std::strerror(errno)));
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd.Get(), bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0)
      throw EWriteError(Format("Cannot write file \"%s\". %s", path.c_str(), std::strerror(errno)));
    done += static_cast<std::size_t>(n);
  }
  if (!fd.Close())
    throw EWriteError(Format("Cannot write file \"%s\". %s", path.c_str(), std::strerror(errno)));
}

bool DeletePackageFile(const std::string& path) {
  return ::unlink(path.c_str()) == 0 || errno == ENOENT;
}
