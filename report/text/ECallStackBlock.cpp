#include "platform/SysUtils.h"
#include "report/text/EReportBlocks.h"
#include "report/text/EReportValues.h"
#include "report/text/ETableText.h"

namespace {

const TThreadSnapshot* FindThread(const std::vector<TThreadSnapshot>& threads, std::uint32_t id) {
  for (const TThreadSnapshot& t : threads)
    if (t.Id == id) return &t;
  return nullptr;
}

std::string ThreadText(const TOskedaStackEntry& frame, bool first,
                       const std::vector<TThreadSnapshot>& threads, const TOskedaModuleOptions& o) {
  const TThreadSnapshot* thread = FindThread(threads, frame.ThreadId);
  std::string text = o.GetText(first ? 69 : frame.Running ? 70 : 71) + ": ";
  const std::int32_t priority = thread ? thread->Priority : ThreadPriorityUnknown;
  text += Format("%s=%d; %s=%s", o.GetText(72).c_str(), static_cast<int>(frame.ThreadId),
                 o.GetText(73).c_str(),
                 priority == ThreadPriorityUnknown ? "??" : std::to_string(priority).c_str());
  if (thread && !thread->ClassName.empty())
    text += Format("; %s=%s", o.GetText(74).c_str(), thread->ClassName.c_str());
  if (thread && thread->IsMain) text += "; [" + o.GetText(68) + "]";
  return text;
}

TTableRow FrameCells(const TOskedaStackEntry& frame, bool lineOffsets) {
  std::string line;
  if (frame.Line != 0) {
    line = std::to_string(frame.Line);
    if (lineOffsets) line += Format("[%u]", static_cast<unsigned>(frame.LineOffset));
  }
  return {HexAddress(frame.Address),
          std::string(ExtractFileName(frame.ModulePath)),
          frame.UnitName,
          frame.ClassName,
          frame.ProcedureName,
          line};
}

}  // namespace

std::string BuildCallStackBlock(const TOskedaStackList& stack,
                                const std::vector<TThreadSnapshot>& threads,
                                const TOskedaModuleOptions& o) {
  const std::uint32_t mask = StackKindMask(o.StackFlags());
  const bool lineOffsets = o.StackFlags().Contains(sfLineOffsets);
  std::vector<const TOskedaStackEntry*> listed;
  std::vector<TTableRow> rows;
  for (const TOskedaStackEntry& frame : stack) {
    if ((KindBit(frame.Kind) & mask) == 0) continue;
    listed.push_back(&frame);
    rows.push_back(FrameCells(frame, lineOffsets));
  }
  const TTableRow headers = {o.GetText(62), o.GetText(63), o.GetText(64),
                             o.GetText(65), o.GetText(66), o.GetText(67)};
  const std::vector<std::size_t> widths = ColumnWidths(headers, rows, {8});
  const std::size_t inner = SumOf(widths) + 5;
  const std::string border(inner + 2, '-');

  std::string out =
      o.GetText(7) + ":\r\n" + border + "\r\n" + TableRow(headers, widths) + "\r\n" + border;
  if (!listed.empty()) {
    out += "\r\n";
    for (std::size_t i = 0; i < listed.size(); ++i) {
      const TOskedaStackEntry& frame = *listed[i];
      const bool newGroup = i == 0 || frame.ThreadId != listed[i - 1]->ThreadId ||
                            frame.Running != listed[i - 1]->Running;
      if (newGroup) {
        if (i > 0) out.append("|").append(inner, '-').append("|\r\n");
        out.append("|")
            .append(PadRight(ThreadText(frame, i == 0, threads, o), inner))
            .append("|\r\n");
      }
      out += TableRow(rows[i], widths) + "\r\n";
    }
    out += border;
  }
  return out + "\r\n\r\n";
}
