#include "app/AboutCompany.h"

#include "platform/Registry.h"
#include "platform/SysUtils.h"

std::string ReadUserInfo(std::string_view valueName, IRegistryBackend& backend) {
  TRegistry registry(backend);
  registry.SetRootKey(RegistryRoot::CurrentUser);
  // Reading needs no write access; asking for it would hide the company whenever the
  // user may read the key but not change it.
  if (!registry.OpenKeyReadOnly(kUserInfoKey)) return std::string(kUnknownUserInfo);
  try {
    return registry.ReadString(valueName);
  } catch (const Exception&) {
    return std::string(kUnknownUserInfo);
  }
}

std::string RegisteredCompanyCaption(IRegistryBackend& backend) {
  std::string company = ReadUserInfo("DefCompany", backend);
  if (company == kUnknownUserInfo) return {};
  return company;
}
