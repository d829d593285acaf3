#include "report/options/EConfigContainer.h"

#include <cstring>

#include "platform/SysUtils.h"
#include "report/options/EDebugInfoNames.h"
#include "report/options/EOptionsStream.h"
#include "report/options/EZlibBlock.h"

namespace {

constexpr std::size_t kDirectoryEntrySize = 9;

// Grows by resize and copy rather than push_back and insert: the same result, and no false
// bounds warnings from GCC 12 at -O3.
void PutBytes(std::vector<std::uint8_t>& out, std::span<const std::uint8_t> bytes) {
  const std::size_t at = out.size();
  out.resize(at + bytes.size());
  if (!bytes.empty()) std::memcpy(out.data() + at, bytes.data(), bytes.size());
}

void PutU16(std::vector<std::uint8_t>& out, std::uint16_t v) {
  const std::uint8_t bytes[2] = {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8)};
  PutBytes(out, bytes);
}

void PutU32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  const std::uint8_t bytes[4] = {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8),
                                 static_cast<std::uint8_t>(v >> 16),
                                 static_cast<std::uint8_t>(v >> 24)};
  PutBytes(out, bytes);
}

std::uint32_t GetU32(std::span<const std::uint8_t> bytes) {
  return static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
         static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
}

class BlockReader {
 public:
  explicit BlockReader(std::span<const std::uint8_t> data) : data_(data) {}

  std::span<const std::uint8_t> Take(std::size_t count, const char* what) {
    if (count > data_.size() - pos_)
      throw EConfigContainerError(Format("Configuration container truncated in the %s.", what));
    const auto bytes = data_.subspan(pos_, count);
    pos_ += count;
    return bytes;
  }
  std::uint32_t U32(const char* what) { return GetU32(Take(4, what)); }
  std::span<const std::uint8_t> Sized(const char* what) { return Take(U32(what), what); }
  std::span<const std::uint8_t> Rest() { return Take(data_.size() - pos_, "rest"); }
  bool AtEnd() const { return pos_ == data_.size(); }

 private:
  std::span<const std::uint8_t> data_;
  std::size_t pos_ = 0;
};

TOskedaStoredOptions ReadOptions(TStream& stream, int version) {
  TOskedaStoredOptions options;
  LoadStoredOptions(stream, version, options);
  return options;
}

// The zlib block after the check: a 32-bit length and exactly that much debug information.
std::span<const std::uint8_t> DebugInfoPayload(std::span<const std::uint8_t> inflated) {
  BlockReader reader(inflated);
  const auto payload = reader.Sized("debug information");
  if (!reader.AtEnd()) throw EConfigContainerError("Data after the debug information.");
  return payload;
}

void ReadCurrentBody(BlockReader& reader, const TConfigReadSettings& settings,
                     TConfigContainer& container) {
  const auto directory = reader.Sized("directory");
  if (directory.size() % kDirectoryEntrySize != 0)
    throw EConfigContainerError("Configuration directory of a broken size.");
  for (std::size_t at = 0; at < directory.size(); at += kDirectoryEntrySize) {
    const auto entry = directory.subspan(at, kDirectoryEntrySize);
    container.Directory.push_back({entry[0], GetU32(entry.subspan(1)), GetU32(entry.subspan(5))});
  }
  container.OptionsStream = InflateBlock(reader.Sized("options"), settings.MaxOptionsSize);
  TMemoryStream stream(container.OptionsStream);
  container.Options = ReadOptions(stream, container.Version);
  if (stream.Remaining() != 0) throw EConfigContainerError("Data after the options stream.");

  if (reader.AtEnd()) return;
  container.DebugInfoStored = true;
  const std::uint32_t check = reader.U32("check block");
  const auto compressed = reader.Rest();
  container.DebugInfoStoredSize = 4 + compressed.size();
  if (!settings.LoadDebugInfo) return;
  const auto inflated = InflateBlock(compressed, settings.MaxDebugInfoSize);
  TDebugInfo info = TDebugInfo::Decode(DebugInfoPayload(inflated));
  const bool plainCheck = check == DebugInfoCheckWord({});
  if (plainCheck == info.NamesEnciphered())
    throw EConfigContainerError("The check block does not match the debug information.");
  if (info.NamesEnciphered() && settings.RequestKey) {
    // Without the right key the tables keep their enciphered names.
    const std::string key = settings.RequestKey();
    if (!key.empty() && DebugInfoCheckWord(key) == check) info = DecipherDebugInfoNames(info, key);
  }
  container.DebugInfo = std::move(info);
}

void ReadLegacyBody(BlockReader& reader, const TConfigReadSettings& settings,
                    TConfigContainer& container) {
  const auto inflated =
      InflateBlock(reader.Rest(), settings.MaxOptionsSize + settings.MaxDebugInfoSize);
  TMemoryStream stream(inflated);
  container.Options = ReadOptions(stream, container.Version);
  const std::size_t optionsEnd = static_cast<std::size_t>(stream.Position());
  container.OptionsStream.assign(inflated.begin(), inflated.begin() + optionsEnd);
  if (optionsEnd == inflated.size()) return;
  // The tables of those releases are of another layout: checked for size, then left aside.
  DebugInfoPayload(std::span(inflated).subspan(optionsEnd));
  container.DebugInfoStored = true;
}

}  // namespace

const TConfigDirectoryEntry* TConfigContainer::FindSymbol(std::uint8_t id) const {
  for (const TConfigDirectoryEntry& entry : Directory)
    if (entry.Id == id) return &entry;
  return nullptr;
}

std::vector<std::uint8_t> BuildConfigBlock(double buildDate,
                                           std::span<const TConfigDirectoryEntry> directory,
                                           std::span<const std::uint8_t> optionsStream,
                                           const TDebugInfo* debugInfo, const std::string& key) {
  std::vector<std::uint8_t> block;
  PutU16(block, static_cast<std::uint16_t>(OskedaConfigVersion));
  std::uint8_t date[8];
  std::memcpy(date, &buildDate, sizeof date);
  PutBytes(block, date);
  PutU32(block, static_cast<std::uint32_t>(directory.size() * kDirectoryEntrySize));
  for (const TConfigDirectoryEntry& entry : directory) {
    PutBytes(block, std::span(&entry.Id, 1));
    PutU32(block, entry.Offset);
    PutU32(block, entry.Size);
  }
  const auto options = DeflateBlock(optionsStream);
  PutU32(block, static_cast<std::uint32_t>(options.size()));
  PutBytes(block, options);
  if (debugInfo) {
    PutU32(block, DebugInfoCheckWord(key));
    std::vector<std::uint8_t> payload;
    const auto encoded =
        (key.empty() ? *debugInfo : EncipherDebugInfoNames(*debugInfo, key)).Encode();
    PutU32(payload, static_cast<std::uint32_t>(encoded.size()));
    PutBytes(payload, encoded);
    PutBytes(block, DeflateBlock(payload));
  }
  return block;
}

std::vector<std::uint8_t> ConfigResourceFromBlock(std::span<const std::uint8_t> block) {
  std::vector<std::uint8_t> resource;
  PutU32(resource, OskedaContainerMagic);
  PutBytes(resource, block);
  return resource;
}

std::vector<std::uint8_t> ConfigTrailerFromBlock(std::span<const std::uint8_t> block) {
  std::vector<std::uint8_t> trailer(block.begin(), block.end());
  PutU32(trailer, static_cast<std::uint32_t>(block.size()));
  PutU32(trailer, OskedaContainerMagic);
  return trailer;
}

TConfigContainer ReadConfigResource(std::span<const std::uint8_t> resource,
                                    const TConfigReadSettings& settings) {
  BlockReader reader(resource);
  if (reader.U32("magic") != OskedaContainerMagic)
    throw EConfigContainerError("Not a configuration container.");
  return ReadConfigBlock(reader.Rest(), settings);
}

TConfigContainer ReadConfigBlock(std::span<const std::uint8_t> block,
                                 const TConfigReadSettings& settings) {
  BlockReader reader(block);
  TConfigContainer container;
  const auto version = reader.Take(2, "version");
  container.Version = version[0] | version[1] << 8;
  if (container.Version > OskedaConfigVersion)
    throw EConfigContainerError(
        Format("Configuration version %d is newer than this reader.", container.Version));
  if (container.Version < OldestOptionsVersion)
    throw EConfigContainerError(Format("Unknown configuration version %d.", container.Version));
  std::memcpy(&container.BuildDate, reader.Take(8, "build date").data(), 8);
  if (container.Version >= 500)
    ReadCurrentBody(reader, settings, container);
  else
    ReadLegacyBody(reader, settings, container);
  return container;
}

std::optional<std::uint32_t> AppendedBlockLength(std::span<const std::uint8_t> lastEightBytes,
                                                 std::uint64_t fileSize) {
  if (lastEightBytes.size() != 8 || GetU32(lastEightBytes.subspan(4)) != OskedaContainerMagic)
    return std::nullopt;
  const std::uint32_t length = GetU32(lastEightBytes);
  if (length == 0 || std::uint64_t{length} + 8 > fileSize) return std::nullopt;
  return length;
}

std::span<const std::uint8_t> FindAppendedConfigBlock(std::span<const std::uint8_t> file) {
  if (file.size() < 8) return {};
  const auto length = AppendedBlockLength(file.last(8), file.size());
  if (!length) return {};
  return file.subspan(file.size() - 8 - *length, *length);
}
