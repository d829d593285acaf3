// The report log file: every report the program made, oldest first, up to the log's
// capacity. The file is plain text, the reports separated by blank lines; it stays open and
// shared while the object lives, and Save rewrites it through a side copy so that a kill or a
// power cut leaves either the old or the new content (see ELogSideCopy.h).
#pragma once

#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "delivery/log/EEncrypt.h"
#include "delivery/log/ELogFileSystem.h"

class TLogFile {
 public:
  // fileName empty: a log held only in memory. Otherwise, when the file cannot be opened
  // where it is named (for reading, and for writing too unless readOnly), the same name in
  // the folder "OskedaLog\<program name>" of the user profile is used instead. An existing
  // file is opened shared and read; stream errors (EFOpenError, EReadError) pass through.
  explicit TLogFile(const std::string& fileName, bool readOnly = false,
                    TLogFileSystem& fileSystem = DefaultLogFileSystem());
  TLogFile(const TLogFile&) = delete;
  TLogFile& operator=(const TLogFile&) = delete;
  ~TLogFile();

  // The file in use: the fallback's when it was taken; empty for a log in memory.
  const std::string& FileName() const { return fileName_; }
  bool ReadOnly() const { return readOnly_; }

  // Appends a report, first dropping the oldest ones so that at most maxCount remain (a
  // maxCount below 1 counts as 1).
  void AddReport(std::string_view text, int maxCount);
  // Replaces the file's content with the stored reports (creating the file when needed).
  // EWriteError for a read-only log; EFCreateError and EWriteError from the file.
  void Save();

  int Count() const { return static_cast<int>(reports_.size()); }
  // Every stored report, each followed by a line break.
  std::string Text() const;
  // Stored report index with the line breaks that end it; empty out of range.
  std::string Report(int index) const;
  const std::vector<std::string>& Reports() const { return reports_; }

  // Whether a stored report holds the values in its fields ids (oldest report first).
  bool IsDuplicate(std::span<const std::string> ids, std::span<const std::string> values) const;
  // The value of field id of stored report index; empty when either is missing.
  std::string GetFieldValue(int index, std::string_view id) const;

  std::string GetVersion(int index) const;
  std::string GetHeaderPart(int index) const;
  std::string GetCallStack(int index) const;
  std::string GetModules(int index) const;
  std::string GetProcessor(int index) const;
  std::string GetReproduceText(int index) const;

  // The password of the enciphered call-stack names; empty leaves them as stored.
  void SetNamesPassword(std::string_view password);
  std::string ReportToXML(int index) const;
  std::string LogToXML() const;
  // Writes LogToXML with a line break after every line. EFCreateError, EWriteError.
  void SaveAsXML(const std::string& fileName) const;

 private:
  std::string ResolveFileName(const std::string& fileName);
  void Load();

  TLogFileSystem& fileSystem_;
  std::string fileName_;
  bool readOnly_;
  std::unique_ptr<TLogFileHandle> stream_;
  std::vector<std::string> reports_;
  std::optional<TCipherKey> namesKey_;
};
