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

}  // namespace

std::string CallStackThreadText(const TOskedaStackEntry& frame, bool first,
                                const std::vector<TThreadSnapshot>& threads,
                                const TOskedaModuleOptions& o) {
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

TTableRow CallStackFrameCells(const TOskedaStackEntry& frame, const TOskedaModuleOptions& o) {
  std::string line;
  if (frame.Line != 0) {
    line = std::to_string(frame.Line);
    if (o.StackFlags().Contains(sfLineOffsets))
      line += Format("[%u]", static_cast<unsigned>(frame.LineOffset));
  }
  return {HexAddress(frame.Address),
          std::string(ExtractFileName(frame.ModulePath)),
          frame.UnitName,
          frame.ClassName,
          frame.ProcedureName,
          line};
}

TTableRow CallStackHeaders(const TOskedaModuleOptions& o) {
  return {o.GetText(62), o.GetText(63), o.GetText(64), o.GetText(65), o.GetText(66), o.GetText(67)};
}

bool CallStackListsFrame(const TOskedaStackEntry& frame, const TOskedaModuleOptions& o) {
  return (KindBit(frame.Kind) & StackKindMask(o.StackFlags())) != 0;
}

bool StartsThreadGroup(const TOskedaStackEntry* previous, const TOskedaStackEntry& frame) {
  return !previous || frame.ThreadId != previous->ThreadId || frame.Running != previous->Running;
}

std::string BuildCallStackBlock(const TOskedaStackList& stack,
                                const std::vector<TThreadSnapshot>& threads,
                                const TOskedaModuleOptions& o) {
  std::vector<const TOskedaStackEntry*> listed;
  std::vector<TTableRow> rows;
  for (const TOskedaStackEntry& frame : stack) {
    if (!CallStackListsFrame(frame, o)) continue;
    listed.push_back(&frame);
    rows.push_back(CallStackFrameCells(frame, o));
  }
  const TTableRow headers = CallStackHeaders(o);
  const std::vector<std::size_t> widths = ColumnWidths(headers, rows, {8});
  const std::size_t inner = SumOf(widths) + 5;
  const std::string border(inner + 2, '-');

  std::string out =
      o.GetText(7) + ":\r\n" + border + "\r\n" + TableRow(headers, widths) + "\r\n" + border;
  if (!listed.empty()) {
    out += "\r\n";
    for (std::size_t i = 0; i < listed.size(); ++i) {
      const TOskedaStackEntry& frame = *listed[i];
      if (StartsThreadGroup(i == 0 ? nullptr : listed[i - 1], frame)) {
        if (i > 0) out.append("|").append(inner, '-').append("|\r\n");
        out.append("|")
            .append(PadRight(CallStackThreadText(frame, i == 0, threads, o), inner))
            .append("|\r\n");
      }
      out += TableRow(rows[i], widths) + "\r\n";
    }
    out += border;
  }
  return out + "\r\n\r\n";
}
