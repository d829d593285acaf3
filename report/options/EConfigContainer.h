// The module configuration container: the reporting options and the debug information that
// the build embeds into each module, as the "OZDATA" RCDATA resource or as a block appended
// to the module file.
//
// Resource:       magic, block
// Appended block: block, 32-bit length of block, magic (the file's last 4 bytes)
// block:          16-bit version, 8-byte build date-time (TDateTime), then from version 500:
//                 32-bit length and directory (9-byte entries: id, 32-bit offset from the module
//                 base, 32-bit size); 32-bit length and zlib data of the options stream; and,
//                 when debug information is present, a 4-byte check block followed by zlib data
//                 holding a 32-bit length and the debug information (report/options/EDebugInfo.h).
//                 Versions 400 to 499 carry no directory; their rest is zlib data holding the
//                 options stream and then the debug information of those releases, which this
//                 reader skips.
// All integers little-endian. The check block tells whether the names of the debug
// information are enciphered and, when they are, whether a key fits.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "report/options/EDebugInfo.h"
#include "report/options/EStoredOptions.h"
#include "report/options/EStreams.h"

DM_DECLARE_EXCEPTION(EConfigContainerError, EReadError)

constexpr std::uint32_t OskedaContainerMagic = 0x000D17A5;

// Directory identifiers: the symbols the interception hooks by address.
enum TConfigSymbolId : std::uint8_t {
  csHandleException = 0,
  csShowException = 1,
};

struct TConfigDirectoryEntry {
  std::uint8_t Id = 0;
  std::uint32_t Offset = 0;
  std::uint32_t Size = 0;
  friend bool operator==(const TConfigDirectoryEntry&, const TConfigDirectoryEntry&) = default;
};

struct TConfigContainer {
  int Version = 0;
  double BuildDate = 0;
  std::vector<TConfigDirectoryEntry> Directory;
  // The inflated options stream, read with Version.
  std::vector<std::uint8_t> OptionsStream;
  // The options it holds, already checked.
  TOskedaStoredOptions Options;
  // Set when debug information was stored and loaded: absent when the container has none or
  // loading it was disabled. Enciphered names stay enciphered (NamesEnciphered) unless the
  // key request gave the key they were enciphered with.
  std::optional<TDebugInfo> DebugInfo;
  bool DebugInfoStored = false;
  // Bytes the stored debug information takes in the container (check block included).
  std::size_t DebugInfoStoredSize = 0;

  const TConfigDirectoryEntry* FindSymbol(std::uint8_t id) const;
};

struct TConfigReadSettings {
  bool LoadDebugInfo = true;
  // Asked for the key when the debug information's names are enciphered (EDebugInfoNames.h).
  std::function<std::string()> RequestKey;
  // Ceilings on what the two zlib blocks may inflate to.
  std::size_t MaxOptionsSize = std::size_t{4} << 20;
  std::size_t MaxDebugInfoSize = std::size_t{64} << 20;
};

// The block of the current version. key non-empty enciphers the debug information's names
// (EDebugInfoNames.h).
std::vector<std::uint8_t> BuildConfigBlock(double buildDate,
                                           std::span<const TConfigDirectoryEntry> directory,
                                           std::span<const std::uint8_t> optionsStream,
                                           const TDebugInfo* debugInfo,
                                           const std::string& key = {});
std::vector<std::uint8_t> ConfigResourceFromBlock(std::span<const std::uint8_t> block);
std::vector<std::uint8_t> ConfigTrailerFromBlock(std::span<const std::uint8_t> block);

// Both raise EConfigContainerError, EZlibError, EDebugInfoError or the options stream's
// errors (all EReadError) for anything that is not a whole, sound container of a version
// this reader knows; a container newer than this reader is refused the same way.
TConfigContainer ReadConfigResource(std::span<const std::uint8_t> resource,
                                    const TConfigReadSettings& settings = {});
TConfigContainer ReadConfigBlock(std::span<const std::uint8_t> block,
                                 const TConfigReadSettings& settings = {});

// The length of the block that the last 8 bytes of a file announce; nullopt when the file
// carries no appended block (no magic, or a length the file cannot hold).
std::optional<std::uint32_t> AppendedBlockLength(std::span<const std::uint8_t> lastEightBytes,
                                                 std::uint64_t fileSize);
// The appended block of a whole file image; empty when there is none.
std::span<const std::uint8_t> FindAppendedConfigBlock(std::span<const std::uint8_t> file);
