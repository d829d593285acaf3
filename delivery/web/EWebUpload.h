// Uploading the report files through WinInet: a multipart POST over HTTP or HTTPS, or one FTP
// file per attachment.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Stage 0 before connecting, 1 once connected, 2 after every chunk written.
using TUploadProgress = std::function<void(int stage, std::int64_t total, std::int64_t position)>;

struct THttpUpload {
  std::string Host;
  std::string Path;
  std::string User;
  std::string Password;
  std::uint16_t Port = 0;  // 0: the service's default
  bool Secure = false;
  std::vector<std::string> FieldNames;
  std::vector<std::string> FieldValues;
  std::vector<std::string> FileNames;  // the names the server sees, one per path
  std::vector<std::string> FilePaths;
};

struct TFtpUpload {
  std::string Host;
  std::string Folder;
  std::string User;
  std::string Password;
  std::uint16_t Port = 0;
  std::vector<std::string> FileNames;
  std::vector<std::string> FilePaths;
};

// Used for every upload when Host is set; the program itself never sets them.
struct TWebProxy {
  std::string Host;
  std::string User;
  std::string Password;
};
TWebProxy& WebProxy();

// Result codes: 0 uploaded, -1 WinInet could not be loaded, otherwise WinInet's error number
// or the HTTP status that was not 200 (2147483647 when the status is not a number). On failure
// errorText holds the status text, the server's last reply or the error number's text.
int HttpUpload(const THttpUpload& upload, std::string& errorText, const TUploadProgress& progress);
int FtpUpload(const TFtpUpload& upload, std::string& errorText, const TUploadProgress& progress);
