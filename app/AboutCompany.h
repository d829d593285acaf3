// The company name that setup registered for the current user, as the about dialog shows it.
#pragma once

#include <string>
#include <string_view>

#include "platform/RegistryBackend.h"

// The key of the setup user information under the current user.
inline constexpr std::string_view kUserInfoKey =
    "\\Software\\Microsoft\\MS Setup (ACME)\\User Info";
// What ReadUserInfo gives when the key cannot be opened or the value is not a string.
inline constexpr std::string_view kUnknownUserInfo = "Unknown";

// One string value of the user information: its text up to the first NUL, the empty string
// when the value is missing or empty, "Unknown" when the key cannot be opened or the value has
// another type than string or expandable string. Never throws for registry errors.
std::string ReadUserInfo(std::string_view valueName,
                         IRegistryBackend& backend = DefaultRegistryBackend());

// The caption of the about dialog's company label: the "DefCompany" value, except that
// "Unknown" (whether stored or meaning "not found") leaves the label empty.
std::string RegisteredCompanyCaption(IRegistryBackend& backend = DefaultRegistryBackend());
