#include "delivery/log/ELogStore.h"

#include <array>

TLogStoreResult TReportLogKeeper::StoreReportInLog(const TOskedaModuleOptions& options,
                                                   std::string_view reportText,
                                                   const TDuplicateKey& key) {
  TLogStoreResult result;
  result.TextToDeliver = reportText;
  try {
    const std::string fileName = options.LogFileName();
    if (!log_ || fileName != requestedName_) {
      log_.reset();
      log_ = std::make_unique<TLogFile>(fileName, false, fileSystem_);
      requestedName_ = fileName;
    }
    if (options.LogFlags().Contains(lfSkipDuplicates)) {
      static const std::array<std::string, 4> Ids = {"2.2", "2.3", "2.4", "2.5"};
      const std::array<std::string, 4> values = {key.Address, key.Module, key.Type, key.Message};
      if (log_->IsDuplicate(Ids, values)) {
        result.Duplicate = true;
        return result;
      }
    }
    log_->AddReport(reportText, options.LogCapacity());
    if (options.SendFlags().Contains(sfSendWholeLog)) result.TextToDeliver = log_->Text();
    if (options.SaveToLog()) log_->Save();
  } catch (const Exception& error) {
    result.Error = eeLogError;
    result.ErrorText = "[Log] " + error.Message();
  } catch (...) {
    result.Error = eeLogError;
    result.ErrorText = "General 'Log' error.";
  }
  return result;
}

void WriteXmlLogCopy(const std::string& logCopyName, std::string_view currentReport,
                     std::string_view namesPassword, const std::string& xmlFileName,
                     TLogFileSystem& fileSystem) {
  // An absent copy must not send the reader to the fallback folder.
  const bool haveCopy = !logCopyName.empty() && fileSystem.CanOpen(logCopyName, true);
  TLogFile log(haveCopy ? logCopyName : std::string(), true, fileSystem);
  if (!haveCopy) log.AddReport(currentReport, 1);
  log.SetNamesPassword(namesPassword);
  log.SaveAsXML(xmlFileName);
}
