// Attachments read from the file system.
#include <fstream>
#include <iterator>

#include "delivery/mail/EMimeMessage.h"

namespace {

class TFileSystemMailFiles final : public IMailFileSource {
 public:
  std::optional<std::string> ReadWholeFile(const std::string& path) override {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // A folder opens on some systems but reads nothing useful.
    if (in.bad()) return std::nullopt;
    return content;
  }
};

}  // namespace

IMailFileSource& PlatformMailFiles() {
  static TFileSystemMailFiles files;
  return files;
}
