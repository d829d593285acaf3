// Attachments held in memory for the mail tests.
#pragma once

#include <map>

#include "delivery/mail/EMimeMessage.h"

class MemoryMailFiles final : public IMailFileSource {
 public:
  std::map<std::string, std::string> files;
  std::optional<std::string> ReadWholeFile(const std::string& path) override {
    const auto it = files.find(path);
    if (it == files.end()) return std::nullopt;
    return it->second;
  }
};
