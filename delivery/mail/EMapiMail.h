// What one Simple MAPI send carries, worked out before any library is loaded: the recipients,
// the files with the names shown for them, the subject fit for one header line and the flags.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "delivery/mail/EMailProgram.h"

// The program keeps a recipient's name and address in buffers of this many characters, the
// terminating zero included; longer texts are cut.
inline constexpr std::size_t MapiTextBufferSize = 257;

inline constexpr std::uint32_t MapiLogonUi = 0x1;     // a logon dialog may be shown
inline constexpr std::uint32_t MapiShowDialog = 0x8;  // the client's compose window

struct TMapiRecipient {
  std::string Name;     // the address as written in the recipient list
  std::string Address;  // "SMTP:" and the address
};

struct TMapiFile {
  std::string PathName;  // the full path
  std::string FileName;  // the name the receiver sees
};

struct TMapiMail {
  std::string Subject;  // every run of control characters replaced by one space
  std::string NoteText;
  std::vector<TMapiRecipient> Recipients;
  std::vector<TMapiFile> Files;
  std::uint32_t SendFlags = MapiLogonUi;
};

// The full path of an existing file, or nothing when the entry names no existing file.
using TExistingFileResolver = std::function<std::optional<std::string>(const std::string& entry)>;

TMapiMail BuildMapiMail(const TMailProgramMessage& message, bool showSendDialog,
                        const TExistingFileResolver& existingFile);
