#include "platform/IniFile.h"

#include "platform/StrConvert.h"

namespace {

IIniBackend*& InstalledBackend() {
  static IIniBackend* backend = nullptr;
  return backend;
}

}  // namespace

IIniBackend& DefaultIniBackend() {
  IIniBackend* installed = InstalledBackend();
  return installed ? *installed : PlatformIniBackend();
}

ScopedIniBackend::ScopedIniBackend(IIniBackend& backend) : previous_(InstalledBackend()) {
  InstalledBackend() = &backend;
}

ScopedIniBackend::~ScopedIniBackend() { InstalledBackend() = previous_; }

TIniFile::TIniFile(std::string fileName, IIniBackend& backend)
    : fileName_(std::move(fileName)), backend_(backend) {}

std::string TIniFile::ReadString(std::string_view section, std::string_view ident,
                                 std::string_view defaultValue) {
  return backend_.ReadString(fileName_, section, ident, defaultValue);
}

std::int32_t TIniFile::ReadInteger(std::string_view section, std::string_view ident,
                                   std::int32_t defaultValue) {
  return StrToIntDef(ReadString(section, ident, ""), defaultValue);
}

bool TIniFile::ReadBool(std::string_view section, std::string_view ident, bool defaultValue) {
  return ReadInteger(section, ident, defaultValue ? 1 : 0) != 0;
}

void TIniFile::WriteString(std::string_view section, std::string_view ident,
                           std::string_view value) {
  if (!backend_.WriteString(fileName_, section, ident, value))
    throw EIniFileException(Format("Unable to write to %s", fileName_.c_str()));
}

void TIniFile::WriteInteger(std::string_view section, std::string_view ident, std::int32_t value) {
  WriteString(section, ident, IntToStr(value));
}

void TIniFile::WriteBool(std::string_view section, std::string_view ident, bool value) {
  WriteString(section, ident, value ? "1" : "0");
}
