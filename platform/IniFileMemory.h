// Settings files held in memory: the host's store and the tests'. Reads and writes follow the
// private-profile rules of the platform; the text of a file can be set and inspected. File
// names are compared exactly, as the host's file system does.
#pragma once

#include <cstddef>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

#include "platform/IniFile.h"

class MemoryIniStore final : public IIniBackend {
 public:
  std::string ReadString(const std::string& fileName, std::string_view section,
                         std::string_view key, std::string_view defaultValue) override;
  bool WriteString(const std::string& fileName, std::string_view section, std::string_view key,
                   std::string_view value) override;

  // Replaces the file with this text (lines end in CR LF or LF).
  void SetText(const std::string& fileName, std::string_view text);
  // The file as the platform would write it: lines ending in CR LF; nullopt when it does not
  // exist.
  std::optional<std::string> Text(const std::string& fileName) const;
  void Remove(const std::string& fileName);

  // Failure injection, as a read-only folder would cause it: the next allowedWrites writes
  // succeed, every later one fails and changes nothing.
  void RefuseWrites(std::size_t allowedWrites = 0);
  void AllowWrites();
  // Successful writes since the store was made.
  std::size_t WriteCount() const;

 private:
  mutable std::mutex mutex_;
  // Each file is its lines without line ends.
  std::map<std::string, std::string> files_;
  std::optional<std::size_t> writesLeft_;
  std::size_t writeCount_ = 0;
};
