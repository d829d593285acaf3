// Shared by the log tests, the log fuzzer and the log benchmark: the canned report, files in
// a scratch folder, and a file system held in memory.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "delivery/log/ELogFileSystem.h"

namespace logtest {

// A report in the writer's layout (data/SampleReport.txt); its last line ends with CR LF.
std::string SampleReport();
// The sample with every occurrence of from replaced by to.
std::string SampleReportWith(std::string_view from, std::string_view to);
// The sample as a report of an older version with a reproduction section.
std::string OldFormatReport();

std::string ReadFileText(const std::string& path);
void WriteFileText(const std::string& path, std::string_view text);
bool FileExists(const std::string& path);
// A new empty folder (ending in '/') for one test, in base when that folder exists, else in
// the temporary folder.
std::string ScratchFolder(std::string_view name, const std::string& base = {});

// Files as strings. Handles see the map directly, so a file changed by one handle is seen
// by every other, as with shared files.
class TMemoryLogFileSystem : public TLogFileSystem {
 public:
  std::map<std::string, std::string> Files;
  std::string UserProfile = "C:\\Users\\ada";
  std::string Program = "C:\\Apps\\Dialmoor.exe";
  bool FailCreate = false;
  int Rewrites = 0;

  std::unique_ptr<TLogFileHandle> Open(const std::string& path, bool readOnly) override;
  std::unique_ptr<TLogFileHandle> Create(const std::string& path) override;
  bool CanOpen(const std::string& path, bool readOnly) override;
  bool Delete(const std::string& path) override { Files.erase(path); return true; }
  bool ForceDirectories(const std::string&) override { return true; }
  std::string EnvironmentVariable(const std::string& name) override {
    return name == "UserProfile" ? UserProfile : std::string();
  }
  std::string ProgramFileName() override { return Program; }
};

}  // namespace logtest
