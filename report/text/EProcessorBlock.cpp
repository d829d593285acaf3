#include "platform/SysUtils.h"
#include "report/text/EReportBlocks.h"
#include "report/text/EReportValues.h"
#include "report/text/ETableText.h"

namespace {

constexpr int DumpLines = 16;

std::string Register(const std::optional<TRegisterSnapshot>& context,
                     std::uint32_t TRegisterSnapshot::*field) {
  return context ? HexAddress((*context).*field) : "????    ";
}

}  // namespace

std::string BuildMemoryDump(const TRegisterSnapshot& context, const TMemoryReader& memory) {
  std::uint8_t stack[DumpLines * 4];
  std::uint8_t code[DumpLines * 16];
  if (std::uint64_t{context.Esp} + sizeof stack > (std::uint64_t{1} << 32) ||
      std::uint64_t{context.Eip} + sizeof code > (std::uint64_t{1} << 32) ||
      !memory.Read(context.Esp, stack, sizeof stack) ||
      !memory.Read(context.Eip, code, sizeof code))
    return {};
  std::string out;
  for (int k = 0; k < DumpLines; ++k) {
    const std::uint8_t* s = stack + 4 * k;
    const std::uint32_t value = std::uint32_t{s[0]} | std::uint32_t{s[1]} << 8 |
                                std::uint32_t{s[2]} << 16 | std::uint32_t{s[3]} << 24;
    out += Format("%s: %s   %s: ", HexAddress(context.Esp + 4 * k).c_str(),
                  HexAddress(value).c_str(), HexAddress(context.Eip + 16 * k).c_str());
    const std::uint8_t* bytes = code + 16 * k;
    for (int i = 0; i < 16; ++i) out += Format("%02X ", bytes[i]);
    out += ' ';
    for (int i = 0; i < 16; ++i) out += bytes[i] < 32 || bytes[i] > 126 ? '.' : char(bytes[i]);
    out += "\r\n";
  }
  return out;
}

std::string BuildProcessorBlock(const std::optional<TRegisterSnapshot>& context,
                                const TMemoryReader* memory, const TOskedaModuleOptions& o) {
  const std::string& title = o.GetText(91);
  if (!o.LogFlags().Contains(lfCpuSection))
    return title + ":\r\n" + std::string(title.size() + 1, '-') + "\r\n\r\n";
  using R = TRegisterSnapshot;
  const std::string dump = context && memory ? BuildMemoryDump(*context, *memory) : "";
  return Format(
      "%s:\r\n-----------------------------\r\nEAX: %s   EDI: %s\r\nEBX: %s   ESI: %s\r\n"
      "ECX: %s   ESP: %s\r\nEDX: %s   EIP: %s\r\n\r\n%s%s:\r\n------------------   "
      "---------------------------------------------------------------------------\r\n%s",
      title.c_str(), Register(context, &R::Eax).c_str(), Register(context, &R::Edi).c_str(),
      Register(context, &R::Ebx).c_str(), Register(context, &R::Esi).c_str(),
      Register(context, &R::Ecx).c_str(), Register(context, &R::Esp).c_str(),
      Register(context, &R::Edx).c_str(), Register(context, &R::Eip).c_str(),
      PadRight(o.GetText(92) + ":", 21).c_str(), o.GetText(93).c_str(), dump.c_str());
}
