#include "delivery/web/EWebSend.h"

#include <cmath>

#include "delivery/web/EMultipart.h"
#include "delivery/web/EUploadURL.h"

namespace {

constexpr int TextConnecting = 78;
constexpr int TextConnected = 79;
constexpr int TextSending = 80;

}  // namespace

void ShowUploadStage(ISendStatus& status, const std::function<std::string(int)>& text, int stage,
                     std::int64_t total, std::int64_t position) {
  switch (stage) {
    case 0:
      status.SetSendProgress(0);
      status.SetSendStatus(text(TextConnecting));
      break;
    case 1:
      status.SetSendStatus(text(TextConnected));
      break;
    default: {
      status.SetSendStatus(text(TextSending));
      const double percent =
          total > 0 ? std::round(static_cast<double>(position) / static_cast<double>(total) * 100)
                    : 100.0;
      status.SetSendProgress(static_cast<int>(percent));
      break;
    }
  }
}

bool ReportWebResult(std::string_view channel, TOskedaLogErrorCode code, int result,
                     std::string_view errorText, bool dialogWasShowing,
                     const TWebServices& services) {
  if (result == 0) return true;
  StoreDeliveryError(code, WebResultLine(channel, result, errorText), dialogWasShowing,
                     *services.ErrorOutput);
  return false;
}

bool SendReportByWeb(const TWebDelivery& delivery, const TWebServices& services) {
  ISendStatus& status = *services.Status;
  // Web status lines carry no recipient counter.
  status.SetSendCounters(0, 0);
  TUploadTarget target;
  ParseUploadURL(delivery.UploadURL, target);
  const auto port = static_cast<std::uint16_t>(delivery.UploadPort & 0xFFFF);
  const TUploadProgress progress = [&](int stage, std::int64_t total, std::int64_t position) {
    ShowUploadStage(status, services.Text, stage, total, position);
  };
  std::string errorText;
  int result = 0;
  std::string_view channel;
  TOskedaLogErrorCode code;
  if (delivery.Channel == wcHttp || delivery.Channel == wcHttps) {
    const bool secure = delivery.Channel == wcHttps;
    channel = secure ? "HTTPS" : "HTTP";
    code = secure ? eeWebHTTPSError : eeWebHTTPError;
    if (!delivery.Attachments.empty()) {
      THttpUpload upload;
      upload.Host = target.Host;
      upload.Path = target.Path;
      upload.User = delivery.UploadLogin;
      upload.Password = delivery.UploadPassword;
      upload.Port = port;
      upload.Secure = secure;
      upload.FieldNames = delivery.FieldNames;
      upload.FieldValues = delivery.FieldValues;
      upload.FileNames = delivery.RemoteNames;
      upload.FilePaths = delivery.Attachments;
      result = services.Http(upload, errorText, progress);
    }
  } else {
    channel = "FTP";
    code = eeWebFTPError;
    TFtpUpload upload;
    upload.Host = target.Host;
    upload.Folder = target.Path;
    upload.User = delivery.UploadLogin;
    upload.Password = delivery.UploadPassword;
    upload.Port = port;
    upload.FileNames = delivery.RemoteNames;
    upload.FilePaths = delivery.Attachments;
    result = services.Ftp(upload, errorText, progress);
  }
  // The progress dialog closes before the result is told, but a failure is shown in a box only
  // to a user who was watching the upload in that dialog: ask before it closes.
  const bool dialogWasShowing = status.DialogShowing();
  status.EndSendDialog();
  return ReportWebResult(channel, code, result, errorText, dialogWasShowing, services);
}
