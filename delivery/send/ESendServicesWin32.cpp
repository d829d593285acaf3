#include "delivery/send/ESendServicesWin32.h"

#include "platform/win/WinApi.h"

#include <cstring>

#include "delivery/log/ELogStore.h"
#include "delivery/package/EPackageFiles.h"
#include "delivery/package/EScreenshot.h"
#include "delivery/package/ETarGZip.h"
#include "platform/win/UniqueHandle.h"

namespace {

std::string TempFolder() {
  char path[MAX_PATH + 1] = {};
  const DWORD n = GetTempPathA(sizeof path, path);
  std::string folder(path, n > 0 && n < sizeof path ? n : 0);
  if (!folder.empty() && folder.back() != '\\') folder += '\\';
  return folder;
}

bool FileExists(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::vector<std::string> ListFolder(const std::string& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA found;
  UniqueFindHandle find(FindFirstFileA((folder + "*").c_str(), &found));
  if (!find) return names;
  do {
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.emplace_back(found.cFileName);
  } while (FindNextFileA(find.get(), &found));
  return names;
}

// The clipboard may be held by another program for a moment: a few tries.
void CopyToClipboard(const std::string& text) {
  bool open = false;
  for (int attempt = 0; attempt < 10 && !(open = OpenClipboard(nullptr)); ++attempt) Sleep(20);
  if (!open) return;
  EmptyClipboard();
  if (HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1)) {
    if (void* bytes = GlobalLock(memory)) {
      std::memcpy(bytes, text.c_str(), text.size() + 1);
      GlobalUnlock(memory);
      // From here the clipboard owns the memory.
      if (!SetClipboardData(CF_TEXT, memory)) GlobalFree(memory);
    } else {
      GlobalFree(memory);
    }
  }
  CloseClipboard();
}

}  // namespace

TSendServices PlatformSendServices(std::function<ISendStatus&()> startSendDialog, bool cgiProgram) {
  TSendServices services;
  services.TempFolder = TempFolder();
  services.CgiProgram = cgiProgram;
  services.WriteFile = [](const std::string& path, std::string_view content) {
    try {
      WritePackageFile(path, {reinterpret_cast<const std::uint8_t*>(content.data()), content.size()});
      return true;
    } catch (const Exception&) {
      return false;
    }
  };
  services.FileExists = FileExists;
  services.RemoveFile = DeletePackageFile;
  services.RenameFile = [](const std::string& from, const std::string& to) {
    return MoveFileA(from.c_str(), to.c_str()) != FALSE;
  };
  services.ListFolder = ListFolder;
  services.Pack = [](const std::string& archive, const std::vector<std::string>& files,
                     const std::function<std::string(const std::string&)>& entryName) {
    CompressFileList(archive, files, entryName);
  };
  services.SaveScreenshot = [](const TScreenshotPixels& picture, const std::string& path) {
    return SaveScreenshotPNG(picture, path);
  };
  services.WriteXmlCopy = [](const std::string& textCopy, std::string_view report,
                             const std::string& xmlFile) {
    WriteXmlLogCopy(textCopy, report, {}, xmlFile);
  };
  services.CopyToClipboard = CopyToClipboard;
  services.ShowMessage = [](const std::string& caption, const std::string& text,
                            std::uint32_t flags) {
    MessageBoxA(nullptr, text.c_str(), caption.c_str(), flags);
  };
  services.StartSendDialog = std::move(startSendDialog);
  services.SendSmtp = [](const TSmtpMail& mail, IMailFileSource& files, ISendStatus& status) {
    TSmtpServices smtp = PlatformSmtpServices();
    smtp.Files = &files;
    smtp.Status = &status;
    return SendEmailBySMTP(mail, smtp);
  };
  services.SendWeb = [](const TWebDelivery& delivery, ISendStatus& status) {
    TWebServices web = PlatformWebServices();
    web.Status = &status;
    return SendReportByWeb(delivery, web);
  };
  services.MailFiles = &PlatformMailFiles();
  return services;
}
