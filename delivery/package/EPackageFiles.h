// The few file operations the archive and screenshot writers need, with the runtime's stream
// exceptions; one implementation per platform.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "platform/DateTime.h"
#include "report/options/EStreams.h"

struct TPackageFile {
  std::vector<std::uint8_t> bytes;
  // The last-write time as the file system stores it (UTC, no zone conversion); 0 when it
  // cannot be read.
  TDateTime modified = 0;
};

// Reads a file whole while other processes may go on reading and writing it. EFOpenError when
// it cannot be opened, EReadError when reading fails.
TPackageFile ReadPackageFile(const std::string& path);
// Creates or replaces a file with bytes. EFCreateError when it cannot be created, EWriteError
// when writing fails.
void WritePackageFile(const std::string& path, std::span<const std::uint8_t> bytes);
// True when the file is gone afterwards (also when there was none).
bool DeletePackageFile(const std::string& path);
