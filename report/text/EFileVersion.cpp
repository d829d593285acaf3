#include "report/text/EFileVersion.h"

#include "platform/SysUtils.h"

std::string FileDescriptionQuery(std::uint16_t language, std::uint16_t codePage) {
  return Format("\\StringFileInfo\\%04X%04X\\FileDescription", language, codePage);
}

std::string FileDescriptionText(std::string_view value) {
  if (value.size() <= 1) return {};
  if (value.back() == '\0') value.remove_suffix(1);
  return std::string(value);
}

std::string FileVersionText(std::uint32_t versionMs, std::uint32_t versionLs) {
  if (versionMs == 0 && versionLs == 0) return {};
  return Format("%u.%u.%u.%u", versionMs >> 16, versionMs & 0xFFFF, versionLs >> 16,
                versionLs & 0xFFFF);
}
