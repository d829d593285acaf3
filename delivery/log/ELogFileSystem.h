// The file access the report log needs. The log logic is portable and reaches files only
// through this interface; the host build and the Windows build each supply one. Paths are
// Windows paths on every build ('\' between folders).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "report/options/EStreams.h"


// One open file. Other processes may read and write the same file while it is open.
class TLogFileHandle {
 public:
  TLogFileHandle() = default;
  TLogFileHandle(const TLogFileHandle&) = delete;
  TLogFileHandle& operator=(const TLogFileHandle&) = delete;
  virtual ~TLogFileHandle() = default;

  // The whole file from its first byte. EReadError on failure.
  virtual std::string ReadAll() = 0;
  // The last count bytes (fewer when the file is shorter). EReadError on failure.
  virtual std::string ReadTail(std::size_t count) = 0;
  // Writes data from position 0, cuts the file after it and flushes it to the disk before
  // returning. EWriteError on failure.
  virtual void Rewrite(std::string_view data) = 0;
  // Writes data at offset, leaving the rest of the file as it is; no flush. EWriteError.
  virtual void Overwrite(std::uint64_t offset, std::string_view data) = 0;
};

class TLogFileSystem {
 public:
  virtual ~TLogFileSystem() = default;

  // An existing file, opened for reading (and writing unless readOnly) with full sharing;
  // nullptr when there is no such file. EFOpenError when it exists but cannot be opened.
  virtual std::unique_ptr<TLogFileHandle> Open(const std::string& path, bool readOnly) = 0;
  // Creates the file, or empties an existing one, opened for reading and writing with full
  // sharing. EFCreateError on failure.
  virtual std::unique_ptr<TLogFileHandle> Create(const std::string& path) = 0;
  // Whether the file could be opened in that mode: an existing file is tried; a missing one
  // counts only when writing is asked for and a new file can be made in its folder.
  virtual bool CanOpen(const std::string& path, bool readOnly) = 0;
  // Removes the file; a missing file is no error. False when it stays.
  virtual bool Delete(const std::string& path) = 0;
  // Creates the folder with every missing parent; false when it does not exist afterwards.
  virtual bool ForceDirectories(const std::string& path) = 0;
  // Empty when the variable is not set.
  virtual std::string EnvironmentVariable(const std::string& name) = 0;
  // The full path of the running program file.
  virtual std::string ProgramFileName() = 0;
};

// The process's own files.
TLogFileSystem& DefaultLogFileSystem();
