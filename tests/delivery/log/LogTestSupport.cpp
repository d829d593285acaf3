#include "tests/delivery/log/LogTestSupport.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "delivery/log/ELogReport.h"

namespace logtest {

namespace {

class TMemoryFile : public TLogFileHandle {
 public:
  TMemoryFile(TMemoryLogFileSystem& fs, std::string path) : fs_(fs), path_(std::move(path)) {}
  std::string ReadAll() override { return fs_.Files[path_]; }
  std::string ReadTail(std::size_t count) override {
    const std::string& file = fs_.Files[path_];
    return file.substr(file.size() - std::min(count, file.size()));
  }
  void Rewrite(std::string_view data) override {
    ++fs_.Rewrites;
    fs_.Files[path_] = std::string(data);
  }
  void Overwrite(std::uint64_t offset, std::string_view data) override {
    std::string& file = fs_.Files[path_];
    if (file.size() < offset + data.size()) file.resize(offset + data.size());
    file.replace(offset, data.size(), data);
  }

 private:
  TMemoryLogFileSystem& fs_;
  std::string path_;
};

}  // namespace

std::string ReadFileText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void WriteFileText(const std::string& path, std::string_view text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
  if (!out) throw std::runtime_error("cannot write " + path);
}

bool FileExists(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0;
}

std::string ScratchFolder(std::string_view name, const std::string& base) {
  const std::filesystem::path folder =
      (!base.empty() && std::filesystem::is_directory(base) ? std::filesystem::path(base)
                                                            : std::filesystem::temp_directory_path()) /
      ("dm-log-" + std::to_string(::getpid()) + "-" + std::string(name));
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  return folder.string() + "/";
}

std::string SampleReport() {
  static const std::string text = ReadFileText(DM_LOG_TEST_DATA "/SampleReport.txt");
  return text;
}

std::string SampleReportWith(std::string_view from, std::string_view to) {
  return ReplaceAll(SampleReport(), from, to);
}

std::string OldFormatReport() {
  // Older reports have no thread lines in their call stack.
  std::string text = SampleReportWith("OskedaLog 5.1.12", "OskedaLog 4.2.7");
  for (const char* thread : {"|Exception Thread:", "|--", "|Running Thread:"}) {
    const std::size_t at = text.find(thread);
    text.erase(at, text.find("\r\n", at) + 2 - at);
  }
  return text + "\r\nRequest:\r\n--------\r\nClick \"Now\" twice.\r\nThen resume.\r\n";
}

std::unique_ptr<TLogFileHandle> TMemoryLogFileSystem::Open(const std::string& path, bool) {
  if (!Files.contains(path)) return nullptr;
  return std::make_unique<TMemoryFile>(*this, path);
}

std::unique_ptr<TLogFileHandle> TMemoryLogFileSystem::Create(const std::string& path) {
  if (FailCreate) throw EFCreateError("Cannot create file \"" + path + "\".");
  Files[path].clear();
  return std::make_unique<TMemoryFile>(*this, path);
}

bool TMemoryLogFileSystem::CanOpen(const std::string& path, bool readOnly) {
  if (Files.contains(path)) return true;
  // Only C:\Logs and the profile take new files here.
  return !readOnly && (path.starts_with("C:\\Logs\\") || path.starts_with(UserProfile));
}

}  // namespace logtest
