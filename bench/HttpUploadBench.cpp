// Throughput of one report upload with a large attachment to a local HTTP server, as the
// reporting subsystem uploads it: HttpUploadBench HOST PORT ATTACHMENT RUNS.
// Prints "BENCH http_upload <median> MB_per_s" (the attachment's size over the upload's time).
#include "platform/win/WinApi.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "delivery/mail/EMimeMessage.h"
#include "delivery/web/EWebUpload.h"

int main(int argc, char** argv) {
  if (argc != 5) {
    std::fprintf(stderr, "usage: HttpUploadBench HOST PORT ATTACHMENT RUNS\n");
    return 2;
  }
  const auto content = PlatformMailFiles().ReadWholeFile(argv[3]);
  if (!content) {
    std::fprintf(stderr, "cannot read %s\n", argv[3]);
    return 2;
  }
  THttpUpload upload;
  upload.Host = argv[1];
  upload.Port = static_cast<std::uint16_t>(std::atoi(argv[2]));
  upload.Path = "upload";
  upload.FileNames = {"attachment.bin"};
  upload.FilePaths = {argv[3]};
  std::vector<double> rates;
  for (int run = 0; run < std::max(1, std::atoi(argv[4])); ++run) {
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    std::string errorText;
    const int result = HttpUpload(upload, errorText, nullptr);
    if (result != 0) {
      std::printf("HTTP error code: %d (%s)\n", result, errorText.c_str());
      return 1;
    }
    QueryPerformanceCounter(&end);
    const double seconds = static_cast<double>(end.QuadPart - start.QuadPart) /
                           static_cast<double>(frequency.QuadPart);
    rates.push_back(static_cast<double>(content->size()) / 1e6 / seconds);
  }
  std::sort(rates.begin(), rates.end());
  std::printf("BENCH http_upload %.1f MB_per_s\n", rates[rates.size() / 2]);
  return 0;
}
