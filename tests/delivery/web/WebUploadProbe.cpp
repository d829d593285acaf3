// Calls HttpUpload or FtpUpload once, for the upload tests:
// WebUploadProbe http|https|ftp HOST PORT PATH [--user U] [--password P] [--field NAME=VALUE]...
// [--file PATH]... Prints the result code, the error text and the progress calls it saw.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "delivery/web/EWebUpload.h"

namespace {

std::string FileNameOf(const std::string& path) {
  const std::size_t slash = path.find_last_of("\\/");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> positional, names, paths, fieldNames, fieldValues;
  std::string user, password;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (i + 1 < argc && arg == "--user") {
      user = argv[++i];
    } else if (i + 1 < argc && arg == "--password") {
      password = argv[++i];
    } else if (i + 1 < argc && arg == "--field") {
      const std::string field = argv[++i];
      const std::size_t eq = field.find('=');
      fieldNames.push_back(field.substr(0, eq));
      fieldValues.push_back(eq == std::string::npos ? std::string() : field.substr(eq + 1));
    } else if (i + 1 < argc && arg == "--file") {
      paths.push_back(argv[++i]);
      names.push_back(FileNameOf(paths.back()));
    } else {
      positional.push_back(arg);
    }
  }
  if (positional.size() != 4) {
    std::fprintf(stderr, "usage: WebUploadProbe http|https|ftp HOST PORT PATH [options]\n");
    return 2;
  }
  int stages[3] = {};
  std::int64_t lastTotal = 0, lastPosition = 0;
  const TUploadProgress progress = [&](int stage, std::int64_t total, std::int64_t position) {
    if (stage >= 0 && stage < 3) ++stages[stage];
    lastTotal = total;
    lastPosition = position;
  };
  const auto port = static_cast<std::uint16_t>(std::atoi(positional[2].c_str()));
  std::string errorText;
  int result;
  if (positional[0] == "ftp") {
    result = FtpUpload({positional[1], positional[3], user, password, port, names, paths},
                       errorText, progress);
  } else {
    THttpUpload upload{positional[1], positional[3], user, password, port,
                       positional[0] == "https", fieldNames, fieldValues, names, paths};
    result = HttpUpload(upload, errorText, progress);
  }
  std::printf("result %d\ntext %s\nprogress %d %d %d %lld/%lld\n", result, errorText.c_str(),
              stages[0], stages[1], stages[2], static_cast<long long>(lastPosition),
              static_cast<long long>(lastTotal));
  std::fflush(stdout);
  return result == 0 ? 0 : 1;
}
