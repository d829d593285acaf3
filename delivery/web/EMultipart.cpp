#include "delivery/web/EMultipart.h"

#include <charconv>

#include "delivery/mail/EBase64.h"
#include "platform/SysUtils.h"

std::string MakeUploadBoundary(const std::function<unsigned()>& random) {
  std::string boundary(27, '-');
  for (int i = 0; i < 3; ++i) boundary += Format("%.4X", random() % 65535u);
  return boundary;
}

std::string BuildMultipartBody(IMailFileSource& files, const std::vector<std::string>& filePaths,
                               const std::vector<std::string>& fileNames,
                               const std::vector<std::string>& fieldNames,
                               std::string_view boundary,
                               const std::vector<std::string>& fieldValues) {
  const std::string b(boundary);
  std::string body;
  const std::size_t fields = std::min(fieldNames.size(), fieldValues.size());
  for (std::size_t i = 0; i < fields; ++i)
    body += "--" + b + "\r\nContent-Disposition: form-data; name=\"" + fieldNames[i] +
            "\";\r\n\r\n" + fieldValues[i] + "\r\n";
  for (std::size_t i = 0; i < filePaths.size(); ++i) {
    const std::optional<std::string> content = files.ReadWholeFile(filePaths[i]);
    if (!content) continue;
    const std::string name = i < fileNames.size() ? fileNames[i] : std::string();
    body += "--" + b + "\r\nContent-Disposition: form-data; name=\"oz_upload_file_" +
            std::to_string(i) + "\"; filename=\"" + name +
            "\";\r\nContent-Type: application/octet-stream\r\n\r\n";
    body += *content;
    body += "\r\n";
  }
  body += "--" + b + "--\r\n";
  return body;
}

std::string MultipartContentTypeHeader(std::string_view boundary) {
  return "Content-Type: multipart/form-data; boundary=" + std::string(boundary);
}

std::string BasicAuthorizationHeader(std::string_view user, std::string_view password) {
  if (user.empty() && password.empty()) return {};
  return "Authorization: Basic " + Base64Encode(std::string(user) + ":" + std::string(password));
}

std::string FtpRemoteName(std::string_view folder, std::string_view fileName) {
  std::string name(folder);
  if (!name.empty() && name.back() != '/') name += '/';
  return name + std::string(fileName);
}

int HttpStatusResult(std::string_view statusCode) {
  int value = 0;
  const auto [end, error] =
      std::from_chars(statusCode.data(), statusCode.data() + statusCode.size(), value);
  if (statusCode.empty() || error != std::errc() || end != statusCode.data() + statusCode.size())
    return 2147483647;
  return value == 200 ? 0 : value;
}

std::string WebResultLine(std::string_view channel, int result, std::string_view errorText) {
  std::string suffix;
  if (result == -1)
    suffix = " - Cannot find the \"wininet.dll\" library.";
  else if (!errorText.empty())
    suffix = " (" + std::string(errorText) + ")";
  return Format("%.*s error code: %d%s", static_cast<int>(channel.size()), channel.data(), result,
                suffix.c_str());
}
