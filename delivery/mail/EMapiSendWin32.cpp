// Simple MAPI through the default mail client's library, loaded for one send.
#include "platform/win/WinApi.h"
#include <mapi.h>

#include <algorithm>
#include <cstring>
#include <optional>
#include <vector>

#include "delivery/mail/EDeliveryError.h"
#include "delivery/mail/EMailProgram.h"
#include "delivery/mail/EMailProgramWin32.h"
#include "delivery/mail/EMapiMail.h"
#include "platform/win/ProcAddress.h"
#include "platform/win/UniqueHandle.h"

namespace {

const std::string MailClientsKey = "SOFTWARE\\Clients\\Mail";
constexpr ULONG MapiUserAbort = 1;

void RecordMapiError(const char* text) {
  StoreDeliveryError(eeEmailMAPIError, text, false, PlatformDeliveryErrorOutput());
}

std::string MapiLibraryOf(HKEY root) {
  const std::string client = ReadRegistryText(root, MailClientsKey, nullptr);
  if (client.empty()) return {};
  return ReadRegistryText(root, MailClientsKey + "\\" + client, "DLLPath");
}

UniqueModule LoadMapiLibrary() {
  std::string path = MapiLibraryOf(HKEY_CURRENT_USER);
  if (path.empty()) path = MapiLibraryOf(HKEY_LOCAL_MACHINE);
  path = ExpandEnvironment(path);
  UniqueModule library(path.empty() ? nullptr : LoadLibraryA(path.c_str()));
  if (!library) library.reset(LoadLibraryA("mapi32.dll"));
  return library;
}

std::optional<std::string> ExistingFullPath(const std::string& entry) {
  const DWORD attributes = GetFileAttributesA(entry.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) return {};
  char full[MAX_PATH * 2];
  const DWORD length = GetFullPathNameA(entry.c_str(), sizeof full, full, nullptr);
  if (length == 0 || length >= sizeof full) return {};
  return std::string(full, length);
}

struct TRecipientTexts {
  char Name[MapiTextBufferSize];
  char Address[MapiTextBufferSize];
};

void CopyToBuffer(char (&buffer)[MapiTextBufferSize], const std::string& text) {
  const std::size_t length = std::min(text.size(), MapiTextBufferSize - 1);
  std::memcpy(buffer, text.data(), length);
  buffer[length] = '\0';
}

// The MAPI records of one message, pointing into the texts they own.
class TMapiRecords {
 public:
  explicit TMapiRecords(const TMapiMail& mail)
      : mail_(mail), texts_(mail.Recipients.size()), recipients_(mail.Recipients.size()) {
    for (std::size_t i = 0; i < recipients_.size(); ++i) {
      CopyToBuffer(texts_[i].Name, mail_.Recipients[i].Name);
      CopyToBuffer(texts_[i].Address, mail_.Recipients[i].Address);
      MapiRecipDesc& r = recipients_[i];
      r.ulRecipClass = MAPI_TO;
      r.lpszName = texts_[i].Name;
      r.lpszAddress = texts_[i].Address;
    }
    for (TMapiFile& file : mail_.Files) {
      MapiFileDesc f{};
      f.nPosition = static_cast<ULONG>(-1);
      f.lpszPathName = file.PathName.data();
      f.lpszFileName = file.FileName.data();
      files_.push_back(f);
    }
    message_.lpszSubject = mail_.Subject.data();
    message_.lpszNoteText = mail_.NoteText.data();
    message_.nRecipCount = static_cast<ULONG>(recipients_.size());
    message_.lpRecips = recipients_.empty() ? nullptr : recipients_.data();
    message_.nFileCount = static_cast<ULONG>(files_.size());
    message_.lpFiles = files_.empty() ? nullptr : files_.data();
  }
  TMapiRecords(const TMapiRecords&) = delete;
  TMapiRecords& operator=(const TMapiRecords&) = delete;

  MapiMessage* Message() { return &message_; }

 private:
  TMapiMail mail_;
  std::vector<TRecipientTexts> texts_;
  std::vector<MapiRecipDesc> recipients_;
  std::vector<MapiFileDesc> files_;
  MapiMessage message_{};
};

}  // namespace

bool SendEmailByMAPI(const TMailProgramMessage& message, const TMailProgramSettings& settings) {
  const UniqueModule library = LoadMapiLibrary();
  if (!library) {
    RecordMapiError("Cannot open the MAPI dll.");
    return false;
  }
  auto* logon = ProcAddress<MAPILOGON*>(library.get(), "MAPILogon");
  auto* logoff = ProcAddress<MAPILOGOFF*>(library.get(), "MAPILogoff");
  auto* sendMail = ProcAddress<MAPISENDMAIL*>(library.get(), "MAPISendMail");
  if (!logon || !logoff || !sendMail) {
    RecordMapiError("Cannot found the MAPI functions.");
    return false;
  }
  const bool onMainThread =
      settings.MainThreadId != 0 && GetCurrentThreadId() == settings.MainThreadId;
  const auto parent = reinterpret_cast<ULONG_PTR>(
      onMainThread ? MainWindowOfProcess(GetCurrentProcessId()) : nullptr);
  LHANDLE session = 0;
  if (logon(parent, nullptr, nullptr, MAPI_LOGON_UI, 0, &session) != SUCCESS_SUCCESS) {
    RecordMapiError("Cannot LogOn into the MAPI service.");
    return false;
  }
  const TMapiMail mail = BuildMapiMail(message, settings.ShowSendDialog, &ExistingFullPath);
  TMapiRecords records(mail);
  const ULONG sent = sendMail(session, parent, records.Message(), mail.SendFlags, 0);
  // The session ends whatever the send gave.
  logoff(session, parent, 0, 0);
  if (sent != SUCCESS_SUCCESS && sent != MapiUserAbort) {
    RecordMapiError("Cannot send the MAPI message.");
    return false;
  }
  return true;
}
