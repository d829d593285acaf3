// HTTP, HTTPS and FTP uploads through WinInet, loaded for each upload so that a machine without
// it still reports the rest of the error. Certificate errors are never ignored: no request flag
// or option turns their checks off.
#include "platform/win/WinApi.h"
#include <wininet.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <random>

#include "delivery/mail/EMimeMessage.h"
#include "delivery/web/EMultipart.h"
#include "delivery/web/EUploadWrites.h"
#include "delivery/web/EWebUpload.h"
#include "delivery/web/EWinInetErrors.h"
#include "platform/win/ProcAddress.h"

namespace {

constexpr DWORD HttpRequestFlags = 0x8468C200;
constexpr DWORD SecureFlag = 0x00800000;
constexpr DWORD PassiveFlag = 0x08000000;
static_assert(sizeof(INTERNET_BUFFERSA) == 40, "HttpSendRequestExA expects the 40-byte record");

// The sixteen entry points, found together or not at all.
struct TWinInet {
  HMODULE Library = nullptr;
  decltype(&::InternetOpenA) InternetOpenA = nullptr;
  decltype(&::InternetConnectA) InternetConnectA = nullptr;
  decltype(&::HttpOpenRequestA) HttpOpenRequestA = nullptr;
  decltype(&::HttpAddRequestHeadersA) HttpAddRequestHeadersA = nullptr;
  decltype(&::HttpSendRequestA) HttpSendRequestA = nullptr;
  decltype(&::HttpSendRequestExA) HttpSendRequestExA = nullptr;
  decltype(&::InternetWriteFile) InternetWriteFile = nullptr;
  decltype(&::HttpEndRequestA) HttpEndRequestA = nullptr;
  decltype(&::HttpQueryInfoA) HttpQueryInfoA = nullptr;
  decltype(&::InternetCloseHandle) InternetCloseHandle = nullptr;
  decltype(&::InternetSetOptionA) InternetSetOptionA = nullptr;
  decltype(&::FtpOpenFileA) FtpOpenFileA = nullptr;
  decltype(&::InternetGetLastResponseInfoA) InternetGetLastResponseInfoA = nullptr;
  decltype(&::InternetOpenUrlA) InternetOpenUrlA = nullptr;
  decltype(&::InternetReadFile) InternetReadFile = nullptr;
  decltype(&::InternetGetConnectedState) InternetGetConnectedState = nullptr;
};

template <typename F>
bool Find(HMODULE library, const char* name, F& entry) {
  entry = ProcAddress<F>(library, name);
  return entry != nullptr;
}

// The WinInet entry table: all sixteen entries or none.
class TWinInetLibrary {
 public:
  TWinInetLibrary() {
    HMODULE library = LoadLibraryA("wininet.dll");
    if (!library) return;
    TWinInet& w = api_;
    const bool all =
        Find(library, "InternetOpenA", w.InternetOpenA) &&
        Find(library, "InternetConnectA", w.InternetConnectA) &&
        Find(library, "HttpOpenRequestA", w.HttpOpenRequestA) &&
        Find(library, "HttpAddRequestHeadersA", w.HttpAddRequestHeadersA) &&
        Find(library, "HttpSendRequestA", w.HttpSendRequestA) &&
        Find(library, "HttpSendRequestExA", w.HttpSendRequestExA) &&
        Find(library, "InternetWriteFile", w.InternetWriteFile) &&
        Find(library, "HttpEndRequestA", w.HttpEndRequestA) &&
        Find(library, "HttpQueryInfoA", w.HttpQueryInfoA) &&
        Find(library, "InternetCloseHandle", w.InternetCloseHandle) &&
        Find(library, "InternetSetOptionA", w.InternetSetOptionA) &&
        Find(library, "FtpOpenFileA", w.FtpOpenFileA) &&
        Find(library, "InternetGetLastResponseInfoA", w.InternetGetLastResponseInfoA) &&
        Find(library, "InternetOpenUrlA", w.InternetOpenUrlA) &&
        Find(library, "InternetReadFile", w.InternetReadFile) &&
        Find(library, "InternetGetConnectedState", w.InternetGetConnectedState);
    if (!all) {
      FreeLibrary(library);
      api_ = TWinInet{};
      return;
    }
    api_.Library = library;
  }
  // The library stays loaded once it served: WinInet keeps threads of its own after its last
  // handle is closed, and unloading it under them can bring the process down later.
  ~TWinInetLibrary() = default;
  TWinInetLibrary(const TWinInetLibrary&) = delete;
  TWinInetLibrary& operator=(const TWinInetLibrary&) = delete;

  bool Loaded() const { return api_.Library != nullptr; }
  const TWinInet& Api() const { return api_; }

 private:
  TWinInet api_;
};

class TInternetHandle {
 public:
  TInternetHandle(const TWinInet& api, HINTERNET handle) : api_(api), handle_(handle) {}
  ~TInternetHandle() {
    if (handle_) api_.InternetCloseHandle(handle_);
  }
  TInternetHandle(const TInternetHandle&) = delete;
  TInternetHandle& operator=(const TInternetHandle&) = delete;
  HINTERNET Get() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr; }

 private:
  const TWinInet& api_;
  HINTERNET handle_;
};

// Carries the last-error value of the WinInet call that failed to the closing steps.
struct TWinInetFailure {
  int Code;
};

void Check(BOOL ok) {
  if (!ok) throw TWinInetFailure{static_cast<int>(GetLastError())};
}
HINTERNET Check(HINTERNET handle) {
  if (!handle) throw TWinInetFailure{static_cast<int>(GetLastError())};
  return handle;
}

HINTERNET OpenInternet(const TWinInet& api) {
  const TWebProxy& proxy = WebProxy();
  if (!proxy.Host.empty())
    return Check(api.InternetOpenA("OskedaLog", INTERNET_OPEN_TYPE_PROXY, proxy.Host.c_str(),
                                   "<local>", 0));
  return Check(api.InternetOpenA("OskedaLog", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
}

// Starts with room for 10 characters and grows to what the call asks for.
std::string QueryInfo(const TWinInet& api, HINTERNET request, DWORD level) {
  std::string buffer(10, '\0');
  for (;;) {
    DWORD size = static_cast<DWORD>(buffer.size());
    if (api.HttpQueryInfoA(request, level, buffer.data(), &size, nullptr)) {
      buffer.resize(std::min<std::size_t>(size, buffer.size()));
      return buffer;
    }
    const DWORD error = GetLastError();
    if (error != ERROR_INSUFFICIENT_BUFFER || size <= buffer.size())
      throw TWinInetFailure{static_cast<int>(error)};
    buffer.assign(size, '\0');
  }
}

// Writes everything, calling afterChunk with the bytes written so far at every 1024 bytes.
template <typename AfterChunk>
void WriteInChunks(const TWinInet& api, HINTERNET handle, const std::string& data,
                   AfterChunk afterChunk) {
  const bool complete = WriteInBlocks(
      data.size(),
      [&](std::size_t offset, std::size_t length) -> std::size_t {
        DWORD written = 0;
        Check(api.InternetWriteFile(handle, data.data() + offset, static_cast<DWORD>(length),
                                    &written));
        return written;
      },
      afterChunk);
  if (!complete) throw TWinInetFailure{ERROR_INTERNET_CONNECTION_ABORTED};
}

std::string LastResponse(const TWinInet& api) {
  char buffer[3000] = {};
  DWORD error = 0;
  DWORD length = sizeof buffer;
  if (!api.InternetGetLastResponseInfoA(&error, buffer, &length)) return {};
  return std::string(buffer, std::min<DWORD>(length, sizeof buffer));
}

void Report(const TUploadProgress& progress, int stage, std::int64_t total, std::int64_t position) {
  if (progress) progress(stage, total, position);
}

unsigned BoundaryRandom() {
  static std::minstd_rand generator(static_cast<unsigned>(GetTickCount() ^ std::time(nullptr)));
  return static_cast<unsigned>(generator() % 65535u);
}

void FinishErrorText(const TWinInet& api, int result, std::string& errorText) {
  if (result != 0 && errorText.empty()) errorText = WinInetErrorText(result, LastResponse(api));
}

int SendHttp(const TWinInet& api, const THttpUpload& upload, std::string& errorText,
             const TUploadProgress& progress) {
  const std::string boundary = MakeUploadBoundary(BoundaryRandom);
  const std::string header = MultipartContentTypeHeader(boundary);
  const std::string body = BuildMultipartBody(PlatformMailFiles(), upload.FilePaths,
                                              upload.FileNames, upload.FieldNames, boundary,
                                              upload.FieldValues);
  const auto total = static_cast<std::int64_t>(body.size());
  Report(progress, 0, total, 0);
  TInternetHandle internet(api, OpenInternet(api));
  TInternetHandle connection(
      api, Check(api.InternetConnectA(internet.Get(), upload.Host.c_str(), upload.Port, nullptr,
                                      nullptr, INTERNET_SERVICE_HTTP, 0, 0)));
  Report(progress, 1, total, 0);
  const DWORD flags = HttpRequestFlags | (upload.Secure ? SecureFlag : 0);
  TInternetHandle request(api, Check(api.HttpOpenRequestA(connection.Get(), "POST",
                                                          upload.Path.c_str(), nullptr, nullptr,
                                                          nullptr, flags, 0)));
  Check(api.HttpAddRequestHeadersA(request.Get(), header.c_str(), static_cast<DWORD>(-1),
                                   HTTP_ADDREQ_FLAG_ADD));
  const std::string authorization = BasicAuthorizationHeader(upload.User, upload.Password);
  if (!authorization.empty())
    Check(api.HttpAddRequestHeadersA(request.Get(), authorization.c_str(), static_cast<DWORD>(-1),
                                     HTTP_ADDREQ_FLAG_ADD));
  const TWebProxy& proxy = WebProxy();
  if (!proxy.User.empty() || !proxy.Password.empty()) {
    Check(api.InternetSetOptionA(request.Get(), INTERNET_OPTION_PROXY_USERNAME,
                                 const_cast<char*>(proxy.User.c_str()),
                                 static_cast<DWORD>(proxy.User.size() + 1)));
    Check(api.InternetSetOptionA(request.Get(), INTERNET_OPTION_PROXY_PASSWORD,
                                 const_cast<char*>(proxy.Password.c_str()),
                                 static_cast<DWORD>(proxy.Password.size() + 1)));
  }
  INTERNET_BUFFERSA buffers{};
  buffers.dwStructSize = sizeof buffers;
  buffers.dwBufferTotal = static_cast<DWORD>(body.size());
  Check(api.HttpSendRequestExA(request.Get(), &buffers, nullptr, 0, 0));
  WriteInChunks(api, request.Get(), body, [&](std::size_t written) {
    Report(progress, 2, total, std::min<std::int64_t>(total, static_cast<std::int64_t>(written)));
  });
  Check(api.HttpEndRequestA(request.Get(), nullptr, 0, 0));
  const int result = HttpStatusResult(QueryInfo(api, request.Get(), HTTP_QUERY_STATUS_CODE));
  if (result != 0) errorText = QueryInfo(api, request.Get(), HTTP_QUERY_STATUS_TEXT);
  return result;
}

int SendFtp(const TWinInet& api, const TFtpUpload& upload, const TUploadProgress& progress) {
  IMailFileSource& files = PlatformMailFiles();
  std::int64_t total = 0;
  for (const std::string& path : upload.FilePaths)
    if (const auto content = files.ReadWholeFile(path)) total += static_cast<std::int64_t>(content->size());
  Report(progress, 0, total, 0);
  TInternetHandle internet(api, OpenInternet(api));
  TInternetHandle connection(
      api, Check(api.InternetConnectA(internet.Get(), upload.Host.c_str(), upload.Port,
                                      upload.User.c_str(), upload.Password.c_str(),
                                      INTERNET_SERVICE_FTP, PassiveFlag, 0)));
  Report(progress, 1, total, 0);
  for (std::size_t i = 0; i < upload.FilePaths.size(); ++i) {
    const std::optional<std::string> content = files.ReadWholeFile(upload.FilePaths[i]);
    if (!content) continue;
    const std::string name = i < upload.FileNames.size() ? upload.FileNames[i] : std::string();
    const std::string remote = FtpRemoteName(upload.Folder, name);
    TInternetHandle file(api, Check(api.FtpOpenFileA(connection.Get(), remote.c_str(),
                                                     GENERIC_WRITE, FTP_TRANSFER_TYPE_BINARY, 0)));
    WriteInChunks(api, file.Get(), *content, [&](std::size_t written) {
      Report(progress, 2, total, static_cast<std::int64_t>(written));
    });
  }
  return 0;
}

}  // namespace

TWebProxy& WebProxy() {
  static TWebProxy proxy;
  return proxy;
}

int HttpUpload(const THttpUpload& upload, std::string& errorText, const TUploadProgress& progress) {
  errorText.clear();
  TWinInetLibrary wininet;
  if (!wininet.Loaded()) return -1;
  int result = 0;
  try {
    result = SendHttp(wininet.Api(), upload, errorText, progress);
  } catch (const TWinInetFailure& failure) {
    result = failure.Code;
  }
  FinishErrorText(wininet.Api(), result, errorText);
  return result;
}

int FtpUpload(const TFtpUpload& upload, std::string& errorText, const TUploadProgress& progress) {
  errorText.clear();
  if (upload.FilePaths.empty()) return 0;
  TWinInetLibrary wininet;
  if (!wininet.Loaded()) return -1;
  int result = 0;
  try {
    result = SendFtp(wininet.Api(), upload, progress);
  } catch (const TWinInetFailure& failure) {
    result = failure.Code;
  }
  FinishErrorText(wininet.Api(), result, errorText);
  return result;
}
