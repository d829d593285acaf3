// The delivery of one report: its temporary files, the attachment list, the mail and web
// channels with their notifications and retries, the outcome, the kept unsent archive, and
// the removal of every temporary file.
#pragma once

#include <string>
#include <vector>

#include "delivery/send/ESendServices.h"

class TReportSender {
 public:
  TReportSender(const TSendJob& job, const TSendServices& services);

  // The whole delivery; true when every configured channel delivered. The temporary files are
  // removed also when a step raises (the exception then passes on).
  bool SendReport();

  // The files for one channel (the text copy stays out of a mail whose body carries the
  // report), with the handlers' additions, without missing files, packed into one archive with
  // sfCompressAttachments.
  void BuildAttachmentList(bool forMail);
  const std::vector<std::string>& Attachments() const { return attachments_; }

  bool SendReportByMail();
  bool SendReportByWeb();

  // The name a file is sent under (the report's time stamp with sfTimestampFileNames).
  std::string AttachmentName(const std::string& path) const;

  // The temporary files of this delivery.
  std::string TextCopyPath() const;
  std::string ScreenshotPath() const;
  std::string LastPagePath() const;
  std::string XmlCopyPath() const;
  std::string ArchivePath() const;

 private:
  class TTemporaryFiles;
  void WriteTemporaryFiles();
  void KeepUnsentArchive();
  // Runs attempt until it delivers or no error handler asks for another try.
  bool WithRetries(int errorAction, const std::function<bool()>& attempt);

  const TSendJob& job_;
  const TSendServices& services_;
  std::vector<std::string> attachments_;
  std::vector<std::string> fieldNames_, fieldValues_;
  bool screenshotMade_ = false, lastPageMade_ = false, xmlCopyMade_ = false;
};
