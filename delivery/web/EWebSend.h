// The web channel of a delivery: the upload address from the options, the upload over HTTP,
// HTTPS or FTP, its stages on the send-progress dialog and the line recorded when it fails.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "delivery/mail/EDeliveryError.h"
#include "delivery/mail/ESendStatus.h"
#include "delivery/web/EWebUpload.h"
#include "report/options/EOptionsTypes.h"

struct TWebDelivery {
  TWebChannel Channel = wcNone;
  std::string UploadURL;
  std::uint32_t UploadPort = 0;  // only its low 16 bits are a port
  std::string UploadLogin;
  std::string UploadPassword;
  std::vector<std::string> Attachments;  // full paths
  std::vector<std::string> RemoteNames;  // the name each attachment is sent under
  std::vector<std::string> FieldNames;
  std::vector<std::string> FieldValues;
};

struct TWebServices {
  std::function<int(const THttpUpload&, std::string&, const TUploadProgress&)> Http;
  std::function<int(const TFtpUpload&, std::string&, const TUploadProgress&)> Ftp;
  ISendStatus* Status = nullptr;
  IDeliveryErrorOutput* ErrorOutput = nullptr;
  // Customised texts by index (78 to 80 are the status lines).
  std::function<std::string(int index)> Text;
};

// WinInet's uploads, no dialog, the platform's error output and the options' texts.
TWebServices PlatformWebServices();

// Shows a stage of an upload: the status line, and for stage 2 the bar at position / total.
void ShowUploadStage(ISendStatus& status, const std::function<std::string(int)>& text, int stage,
                     std::int64_t total, std::int64_t position);

// True for result 0; any other result is recorded as "<channel> error code: <result><suffix>"
// with the channel's code.
bool ReportWebResult(std::string_view channel, TOskedaLogErrorCode code, int result,
                     std::string_view errorText, bool dialogWasShowing,
                     const TWebServices& services);

// The address is parsed, then its port, user and password are replaced by the options' own
// (UploadPort 0 lets WinInet choose). An empty attachment list over HTTP succeeds without
// connecting.
bool SendReportByWeb(const TWebDelivery& delivery, const TWebServices& services);
