// A MAPI library of the tests' own. Every call and what it carried is appended to the file named
// by DIALMOOR_MAPI_RECORD; MAPILogon and MAPISendMail answer with the numbers in
// DIALMOOR_MAPI_LOGON and DIALMOOR_MAPI_SEND (0 when unset). Built a second time without
// MAPILogoff, as a client library that lacks an entry point.
#include "platform/win/WinApi.h"
#include <mapi.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

ULONG ResultFrom(const char* variable) {
  const char* value = std::getenv(variable);
  return value ? std::strtoul(value, nullptr, 10) : 0;
}

void Record(const std::string& line) {
  const char* path = std::getenv("DIALMOOR_MAPI_RECORD");
  if (!path) return;
  if (FILE* file = std::fopen(path, "ab")) {
    std::fprintf(file, "%s\n", line.c_str());
    std::fclose(file);
  }
}

// The text in brackets with control characters written as \xNN, or "null".
std::string Text(const char* text) {
  if (!text) return "null";
  std::string shown = "[";
  for (const char* p = text; *p; ++p) {
    const auto c = static_cast<unsigned char>(*p);
    if (c < 32) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\x%02X", c);
      shown += escape;
    } else {
      shown += *p;
    }
  }
  return shown + "]";
}

std::string Number(unsigned long value) { return std::to_string(value); }
std::string Pointer(const void* p) { return p ? "set" : "null"; }
std::string Parent(ULONG_PTR window) {
  return window && IsWindow(reinterpret_cast<HWND>(window)) ? "window" : window ? "bad" : "none";
}

constexpr LHANDLE Session = 0x5150;

}  // namespace

extern "C" {

__declspec(dllexport) ULONG WINAPI MAPILogon(ULONG_PTR parent, LPSTR profile, LPSTR password,
                                             FLAGS flags, ULONG reserved, LPLHANDLE session) {
  Record("logon parent=" + Parent(parent) + " profile=" + Text(profile) + " password=" +
         Text(password) + " flags=" + Number(flags) + " reserved=" + Number(reserved));
  *session = Session;
  return ResultFrom("DIALMOOR_MAPI_LOGON");
}

__declspec(dllexport) ULONG WINAPI
    MAPISendMail(LHANDLE session, ULONG_PTR parent, lpMapiMessage message, FLAGS flags,
                 ULONG reserved) {
  Record("send session=" + std::string(session == Session ? "ours" : "other") +
         " parent=" + Parent(parent) + " flags=" + Number(flags) + " reserved=" + Number(reserved));
  Record("message reserved=" + Number(message->ulReserved) +
         " subject=" + Text(message->lpszSubject) + " note=" + Text(message->lpszNoteText) +
         " type=" + Text(message->lpszMessageType) + " date=" + Text(message->lpszDateReceived) +
         " conversation=" + Text(message->lpszConversationID) +
         " flags=" + Number(message->flFlags) + " originator=" + Pointer(message->lpOriginator));
  Record("recipients " + Number(message->nRecipCount));
  for (ULONG i = 0; i < message->nRecipCount; ++i) {
    const MapiRecipDesc& r = message->lpRecips[i];
    Record("recipient reserved=" + Number(r.ulReserved) + " class=" + Number(r.ulRecipClass) +
           " name=" + Text(r.lpszName) + " address=" + Text(r.lpszAddress) +
           " eid=" + Number(r.ulEIDSize) + "/" + Pointer(r.lpEntryID));
  }
  Record("files " + Number(message->nFileCount) + " " + Pointer(message->lpFiles));
  for (ULONG i = 0; i < message->nFileCount; ++i) {
    const MapiFileDesc& f = message->lpFiles[i];
    const bool exists = GetFileAttributesA(f.lpszPathName) != INVALID_FILE_ATTRIBUTES;
    Record("file reserved=" + Number(f.ulReserved) + " flags=" + Number(f.flFlags) + " position=" +
           Number(f.nPosition) + " path=" + Text(f.lpszPathName) + " name=" + Text(f.lpszFileName) +
           " type=" + Pointer(f.lpFileType) + (exists ? " exists" : " missing"));
  }
  return ResultFrom("DIALMOOR_MAPI_SEND");
}

#ifndef TEST_MAPI_WITHOUT_LOGOFF
__declspec(dllexport) ULONG WINAPI
    MAPILogoff(LHANDLE session, ULONG_PTR parent, FLAGS flags, ULONG reserved) {
  Record("logoff session=" + std::string(session == Session ? "ours" : "other") +
         " parent=" + Parent(parent) + " flags=" + Number(flags) + " reserved=" + Number(reserved));
  return SUCCESS_SUCCESS;
}
#endif
}
