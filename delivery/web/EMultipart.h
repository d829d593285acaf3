// The multipart/form-data upload of the report files and the request headers that go with it.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "delivery/mail/EMimeMessage.h"

// 27 hyphens and three groups of four upper-case hexadecimal digits, each group from
// `random`, which gives numbers from 0 to 65534.
std::string MakeUploadBoundary(const std::function<unsigned()>& random);

// The custom fields (as many as there are both names and values), then one part per file that
// can be read, named "oz_upload_file_<index in the list>" so a missing file leaves a gap, and
// the closing boundary. File bytes go in unchanged.
std::string BuildMultipartBody(IMailFileSource& files, const std::vector<std::string>& filePaths,
                               const std::vector<std::string>& fileNames,
                               const std::vector<std::string>& fieldNames,
                               std::string_view boundary,
                               const std::vector<std::string>& fieldValues);

std::string MultipartContentTypeHeader(std::string_view boundary);
// "Authorization: Basic <Base64 of user:password>", or empty when both are empty.
std::string BasicAuthorizationHeader(std::string_view user, std::string_view password);

// The remote path of an FTP upload: the folder, a "/" unless it is empty or ends with one, and
// the file name.
std::string FtpRemoteName(std::string_view folder, std::string_view fileName);

// The result of an HTTP status text: 0 for 200, the number for any other, 2147483647 for a
// text that is not a number.
int HttpStatusResult(std::string_view statusCode);

// The recorded line of a failed upload: "HTTP error code: 500 (Internal Server Error)"; -1 says
// that the library could not be loaded.
std::string WebResultLine(std::string_view channel, int result, std::string_view errorText);
