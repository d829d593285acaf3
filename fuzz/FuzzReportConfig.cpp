// Hostile configuration containers, appended blocks, debug information and shared-area
// contents: every one is either read whole or refused with a read error (the module is then
// without options); nothing else may happen. The first byte picks what the rest is.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <span>

#include "report/options/EConfigContainer.h"
#include "report/options/EDebugInfoNames.h"
#include "report/options/ECoreOptionsEx.h"
#include "report/options/EModuleConfig.h"
#include "report/options/EZlibBlock.h"

namespace {

TConfigReadSettings Settings() {
  TConfigReadSettings settings;
  settings.RequestKey = [] { return std::string("fuzz"); };
  settings.MaxOptionsSize = 1 << 20;
  settings.MaxDebugInfoSize = 1 << 20;
  return settings;
}

void Use(const TConfigContainer& container) {
  // Loading the module's options the way start-up does must agree with the reader.
  auto record = MakeModuleConfigRecord(0x400000, 0x100000, "fuzz.exe", container);
  TOskedaStoredOptions expected = container.Options;
  expected.LogCapacity = std::max(expected.LogCapacity, 1);  // as the options' setter stores it
  if (!(record->Options->StoredOptions() == expected)) __builtin_trap();
  if (container.DebugInfo)
    for (std::uint32_t offset : {0u, 1u, 0x1000u, 0xFFFFFFFFu}) container.DebugInfo->Lookup(offset);
}

// Compressed blocks are hard to reach by mutation; this builds the container around raw
// options and debug-information bytes instead.
std::vector<std::uint8_t> Wrapped(std::span<const std::uint8_t> data) {
  if (data.empty()) return {};
  const std::size_t split = std::min<std::size_t>(data[0] * 16u, data.size() - 1);
  const auto options = data.subspan(1, split);
  const auto debug = data.subspan(1 + split);
  // Version 5112, a zero date, an empty directory.
  std::vector<std::uint8_t> block = {0xF8, 0x13, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  const auto putU32 = [&block](std::uint32_t v) {
    for (int i = 0; i < 4; ++i) block.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
  };
  const auto compressedOptions = DeflateBlock(options);
  putU32(static_cast<std::uint32_t>(compressedOptions.size()));
  block.insert(block.end(), compressedOptions.begin(), compressedOptions.end());
  // Tables flagged as enciphered get the check word of the fuzzer's key, so that they are
  // deciphered.
  putU32(DebugInfoCheckWord(debug.size() > 1 && (debug[1] & 1) ? "fuzz" : ""));
  std::vector<std::uint8_t> payload;
  const auto put = [&payload](std::uint32_t v) {
    for (int i = 0; i < 4; ++i) payload.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
  };
  put(static_cast<std::uint32_t>(debug.size()));
  payload.insert(payload.end(), debug.begin(), debug.end());
  const auto compressedDebug = DeflateBlock(payload);
  block.insert(block.end(), compressedDebug.begin(), compressedDebug.end());
  return block;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const std::span<const std::uint8_t> rest(data + 1, size - 1);
  try {
    switch (data[0] % 5) {
      case 0:
        Use(ReadConfigResource(rest, Settings()));
        break;
      case 1: {
        const auto block = FindAppendedConfigBlock(rest);
        if (!block.empty()) Use(ReadConfigBlock(block, Settings()));
        break;
      }
      case 2:
        Use(ReadConfigBlock(Wrapped(rest), Settings()));
        break;
      case 3: {
        const TDebugInfo info = TDebugInfo::Decode(rest);
        for (const TDebugProcedure& p : info.Procedures()) {
          const TDebugLocation at = info.Lookup(p.Start + p.Size - 1);
          if (!at.Found || at.LineOffset > p.Start + p.Size) __builtin_trap();
        }
        // What decodes must survive encoding and decoding again unchanged.
        const TDebugInfo again = TDebugInfo::Decode(info.Encode());
        const std::vector<TDebugLine> lines = info.Lines(), linesAgain = again.Lines();
        if (again.Strings() != info.Strings() ||
            again.Procedures().size() != info.Procedures().size() ||
            linesAgain.size() != lines.size())
          __builtin_trap();
        for (std::size_t i = 0; i < lines.size(); ++i)
          if (linesAgain[i].Offset != lines[i].Offset || linesAgain[i].Line != lines[i].Line)
            __builtin_trap();
        break;
      }
      case 4: {
        TOskedaModuleOptionsEx options("fuzz.exe", false);
        LoadOptionsFromSharedArea(rest, options);
        break;
      }
    }
  } catch (const EReadError&) {
    // Refused: the module stays without options.
  }
  return 0;
}
