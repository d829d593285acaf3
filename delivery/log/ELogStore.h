// How the reporting sequence stores a report in the log file: the one log object kept for
// the life of the reporting subsystem, the duplicate check, the capacity and the save.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "delivery/log/ELogFile.h"
#include "report/options/ECoreOptions.h"

// The current report's values of the fields the duplicate check compares.
struct TDuplicateKey {
  std::string Address;  // 2.2
  std::string Module;   // 2.3
  std::string Type;     // 2.4
  std::string Message;  // 2.5
};

struct TLogStoreResult {
  // A report already in the log: not added, the file not rewritten, and (for the caller)
  // neither delivered nor followed by the reproduce request.
  bool Duplicate = false;
  // eeLogError with ErrorText "[Log] <message>" when a step failed; eeNone otherwise.
  TOskedaLogErrorCode Error = eeNone;
  std::string ErrorText;
  // The report, or with sfSendWholeLog every stored report.
  std::string TextToDeliver;
};

// The XML copy of the log that goes with a delivery (sfAttachXmlLog): made from logCopyName,
// the temporary text copy of the log, when that file exists, else from the current report
// alone; call-stack names deciphered with namesPassword (empty: kept as stored), which on
// Windows is what the program's password exports answer (RequestModulePassword in
// report/options/EModuleConfigWin32.h). Stream errors pass through.
void WriteXmlLogCopy(const std::string& logCopyName, std::string_view currentReport,
                     std::string_view namesPassword, const std::string& xmlFileName,
                     TLogFileSystem& fileSystem = DefaultLogFileSystem());

class TReportLogKeeper {
 public:
  explicit TReportLogKeeper(TLogFileSystem& fileSystem = DefaultLogFileSystem())
      : fileSystem_(fileSystem) {}

  // Opens the log of options.LogFileName() (again when that name changed since the last
  // report), skips a duplicate when lfSkipDuplicates asks for it, adds the report with the
  // log's capacity, and saves when SaveToLog is set. Never raises: a failure of any step
  // comes back as eeLogError and the sequence goes on.
  TLogStoreResult StoreReportInLog(const TOskedaModuleOptions& options, std::string_view reportText,
                                   const TDuplicateKey& key);

  // lfDeleteOnVersionChange: deletes the log of options.LogFileName() (and its side copy) when
  // the version its newest report names (field 1.3) differs from the version in reportText.
  // Nothing is deleted when either report lacks the field. True when the log was deleted.
  // Never raises; a log that cannot be deleted stays and is written to as before.
  bool DeleteLogOnVersionChange(const TOskedaModuleOptions& options, std::string_view reportText);

  // The log object of the last report; nullptr before the first.
  TLogFile* Log() const { return log_.get(); }

 private:
  TLogFile& OpenLog(const TOskedaModuleOptions& options);

  TLogFileSystem& fileSystem_;
  std::string requestedName_;
  std::unique_ptr<TLogFile> log_;
};
