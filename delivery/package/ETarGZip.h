// tar archives compressed as gzip ("CompressFiles.tgz"), and the gzip reader other parts use.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/DateTime.h"
#include "report/options/EStreams.h"

DM_DECLARE_EXCEPTION(EGZipError, EReadError)

constexpr std::size_t TarBlockSize = 512;
using TTarBlock = std::array<std::uint8_t, TarBlockSize>;

// The 512-byte header of one regular file. The name is cut to 100 characters; the time is
// stored as whole seconds since 1970-01-01 00:00 (times before that as 0). EWriteError when
// the size needs more than 11 octal digits.
TTarBlock TarHeaderBlock(std::string_view name, std::uint64_t size, TDateTime modified);

// The gzip file around a whole tar stream: the header with nameInHeader as its name field,
// the raw deflate data (level 9), then CRC-32 and size. nameInHeader must hold no zero byte.
std::vector<std::uint8_t> GZipTarStream(std::span<const std::uint8_t> tar,
                                        std::string_view nameInHeader);

// The file-name part of a path, after the last '\', '/' or ':'.
std::string ExtractFileName(std::string_view path);

// Builds the archive in memory; nothing reaches the disk before Finish (or the destructor).
class TTGZWriter {
 public:
  explicit TTGZWriter(std::string fileName);
  TTGZWriter(const TTGZWriter&) = delete;
  TTGZWriter& operator=(const TTGZWriter&) = delete;
  // Finishes the archive when Finish has not run; a file error is then lost, so callers that
  // need to know call Finish.
  ~TTGZWriter();

  // Adds the file at path (read whole, others may still use it) under the file-name part of
  // nameInArchive, or of path when nameInArchive is empty, with the file's last-write time.
  // EFOpenError or EReadError when it cannot be read.
  void AddFile(const std::string& path, const std::string& nameInArchive = {});
  // Adds the bytes from the stream's position to its end.
  void AddStream(TStream& stream, std::string_view name, TDateTime modifiedTime);
  // Writes the end block and the gzip file. EFCreateError or EWriteError on file errors.
  void Finish();

 private:
  TMemoryStream tar_;
  std::string fileName_;
  bool finished_ = false;
};

// Packs files into archiveName, replacing an existing file of that name. Each entry is named
// by entryName(path), or by the path's file name when entryName is empty. An empty list writes
// nothing (and leaves no old archive behind).
void CompressFileList(const std::string& archiveName, const std::vector<std::string>& files,
                      const std::function<std::string(const std::string&)>& entryName = {});

// Inflates the gzip data from source's position to its end into target. Every member is read
// (as GNU gzip does with concatenated files), its optional header fields skipped and its CRC-32
// and size checked; zero bytes after the last member are ignored. EGZipError for anything that
// is not well-formed gzip data.
void ReadGZip(TStream& source, TStream& target);
