#include "delivery/log/ELogStore.h"

#include <array>

#include "delivery/log/ELogReport.h"
#include "delivery/log/ELogSideCopy.h"

TLogFile& TReportLogKeeper::OpenLog(const TOskedaModuleOptions& options) {
  const std::string fileName = options.LogFileName();
  if (!log_ || fileName != requestedName_) {
    log_.reset();
    log_ = std::make_unique<TLogFile>(fileName, false, fileSystem_);
    requestedName_ = fileName;
  }
  return *log_;
}

bool TReportLogKeeper::DeleteLogOnVersionChange(const TOskedaModuleOptions& options,
                                                std::string_view reportText) {
  try {
    TLogFile& log = OpenLog(options);
    if (log.Count() == 0) return false;
    const std::string stored = log.GetFieldValue(log.Count() - 1, "1.3");
    const std::string current = ReportFieldValue(reportText, "1.3");
    if (stored.empty() || current.empty() || stored == current) return false;
    const std::string fileName = log.FileName();
    // The object holds the file open; the next report opens a new, empty log.
    log_.reset();
    // A sealed side copy would bring the old reports back on the next read.
    fileSystem_.Delete(SideCopyFileName(fileName));
    return fileSystem_.Delete(fileName);
  } catch (const Exception&) {
    return false;
  }
}

TLogStoreResult TReportLogKeeper::StoreReportInLog(const TOskedaModuleOptions& options,
                                                   std::string_view reportText,
                                                   const TDuplicateKey& key) {
  TLogStoreResult result;
  result.TextToDeliver = reportText;
  try {
    TLogFile& log = OpenLog(options);
    if (options.LogFlags().Contains(lfSkipDuplicates)) {
      static const std::array<std::string, 4> Ids = {"2.2", "2.3", "2.4", "2.5"};
      const std::array<std::string, 4> values = {key.Address, key.Module, key.Type, key.Message};
      if (log.IsDuplicate(Ids, values)) {
        result.Duplicate = true;
        return result;
      }
    }
    log.AddReport(reportText, options.LogCapacity());
    if (options.SendFlags().Contains(sfSendWholeLog)) result.TextToDeliver = log.Text();
    if (options.SaveToLog()) log.Save();
  } catch (const Exception& error) {
    result.Error = eeLogError;
    result.ErrorText = "[Log] " + error.Message();
  } catch (...) {
    result.Error = eeLogError;
    result.ErrorText = "General 'Log' error.";
  }
  // The object may hold the report that was not saved; the next attempt reads the file again
  // rather than adding it a second time.
  if (result.Error != eeNone) log_.reset();
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
