#include "delivery/log/ELogXML.h"

#include "delivery/log/ECallStackNames.h"
#include "delivery/log/ELogReport.h"
#include "delivery/log/EXMLItem.h"

namespace {

constexpr std::string_view FirstFormatVersion = "5.0.0";

std::string_view Mid(std::string_view text, std::size_t start, std::size_t count) {
  return start >= text.size() ? std::string_view() : text.substr(start, count);
}

bool IsTableRow(std::string_view line) { return !line.empty() && line[0] == '|'; }
bool IsSeparatorRow(std::string_view line) { return line.starts_with("|-"); }

// The cells between the vertical bars of a table row, without their padding.
std::vector<std::string> RowCells(std::string_view row) {
  row.remove_prefix(1);
  if (!row.empty() && row.back() == '|') row.remove_suffix(1);
  std::vector<std::string> cells;
  for (;;) {
    const std::size_t bar = row.find('|');
    cells.emplace_back(TrimText(row.substr(0, bar)));
    if (bar == std::string_view::npos) return cells;
    row.remove_prefix(bar + 1);
  }
}

std::string_view Cell(const std::vector<std::string>& cells, std::size_t index) {
  return index < cells.size() ? std::string_view(cells[index]) : std::string_view();
}

// The table rows of a table section, without the column-header row.
std::vector<std::string_view> DataRows(std::string_view table) {
  std::vector<std::string_view> rows;
  bool headerSeen = false;
  for (const std::string_view line : SplitCrlfLines(table)) {
    if (!IsTableRow(line)) continue;
    if (!headerSeen) {
      headerSeen = true;
      continue;
    }
    rows.push_back(line);
  }
  return rows;
}

struct TGeneralField {
  std::string Id;
  std::string Label;
  std::vector<std::string> Lines;
};

std::string FieldValueForXML(const TGeneralField& field) {
  std::string value;
  for (std::size_t i = 0; i < field.Lines.size(); ++i) {
    if (i) value += "\r\n";
    value += field.Lines[i];
  }
  value = ReplaceAll(value, ":_", ": ");
  if (value.starts_with(".\r\n")) value.erase(0, 3);
  if (value.ends_with("\r\n.")) value.erase(value.size() - 3);
  return ReplaceAll(value, "\n.\r", "\n\r");
}

void AddGeneral(TXMLItem& general, std::string_view header) {
  std::string title;
  bool haveTitle = false;
  TXMLItem* group = nullptr;
  // A plain value with a flag, not an optional: GCC 12 warns falsely about the optional's
  // vector members.
  TGeneralField field;
  bool haveField = false;
  const auto flush = [&] {
    if (!haveField) return;
    TXMLItem* line = group->AddChild("Line");
    line->AddAttribute("ID", field.Id);
    line->AddAttribute("Label", field.Label);
    line->AddAttribute("Value", FieldValueForXML(field));
    haveField = false;
  };
  for (const std::string_view line : SplitCrlfLines(header)) {
    const bool fieldLine = line.starts_with("  ") && line.size() > 2 && line[2] != ' ';
    if (fieldLine && haveTitle) {
      flush();
      const std::string_view rest = line.substr(2);
      const std::size_t numberEnd = std::min(rest.find(' '), rest.size());
      const std::string_view number = rest.substr(0, numberEnd);
      const std::string_view afterNumber = rest.substr(numberEnd);
      const std::size_t colon = afterNumber.find(": ");
      if (!group) {
        group = general.AddChild("Group");
        group->AddAttribute("ID", number.substr(0, number.find('.')));
        group->AddAttribute("Label", title);
      }
      field.Id = number;
      field.Label = TrimText(afterNumber.substr(0, colon));
      field.Lines.assign(1, colon == std::string_view::npos ? std::string()
                                                             : std::string(afterNumber.substr(colon + 2)));
      haveField = true;
    } else if (!line.empty() && line[0] == ' ' && haveField) {
      field.Lines.emplace_back(line.substr(line.find_first_not_of(' ') == std::string_view::npos
                                                ? line.size()
                                                : line.find_first_not_of(' ')));
    } else {
      flush();
      if (!line.empty() && line[0] != ' ' && line.back() == ':') {
        title.assign(line.substr(0, line.size() - 1));
        haveTitle = true;
        group = nullptr;
      }
    }
  }
  flush();
}

// A thread line reads "<kind>: <ID>=n; <Priority>=n[; <Class>=name][; [<Main>]]".
void AddThreadAttributes(TXMLItem& thread, std::string_view row) {
  std::string_view text = row.substr(1);
  if (!text.empty() && text.back() == '|') text.remove_suffix(1);
  text = TrimText(text);
  const std::size_t colon = text.find(": ");
  std::vector<std::string_view> cells{text.substr(0, colon)};
  if (colon != std::string_view::npos) {
    std::string_view rest = text.substr(colon + 2);
    for (;;) {
      const std::size_t semicolon = rest.find(';');
      cells.push_back(TrimText(rest.substr(0, semicolon)));
      if (semicolon == std::string_view::npos) break;
      rest.remove_prefix(semicolon + 1);
    }
  }
  static constexpr const char* Names[] = {"ID", "Priority", "Class"};
  bool main = false;
  for (std::size_t i = 1; i < cells.size(); ++i) {
    const std::string_view cell = cells[i];
    if (cell.size() >= 2 && cell.front() == '[' && cell.back() == ']') {
      main = true;
      continue;
    }
    const std::size_t equals = cell.find('=');
    if (i <= 3 && equals != std::string_view::npos) thread.AddAttribute(Names[i - 1], cell.substr(equals + 1));
  }
  thread.AddAttribute("MainThread", main ? "True" : "False");
}

void AddCallLine(TXMLItem& parent, const std::vector<std::string>& cells,
                 const std::optional<TCipherKey>& namesKey) {
  TCallStackNames names{std::string(Cell(cells, 2)), std::string(Cell(cells, 3)),
                        std::string(Cell(cells, 4))};
  if (namesKey) names = DecipherCallStackNames(names, *namesKey);
  const std::string_view line = Cell(cells, 5);
  const std::size_t bracket = line.find('[');
  std::string_view offset;
  if (bracket != std::string_view::npos) {
    offset = line.substr(bracket + 1);
    offset = offset.substr(0, offset.find(']'));
  }
  TXMLItem* item = parent.AddChild("Line");
  item->AddAttribute("Address", Cell(cells, 0));
  item->AddAttribute("Module", Cell(cells, 1));
  item->AddAttribute("Unit", names.Unit);
  item->AddAttribute("Class", names.Class);
  item->AddAttribute("Procedure", names.Procedure);
  item->AddAttribute("Number", TrimText(line.substr(0, bracket)));
  item->AddAttribute("Offset", offset);
}

void AddCallStack(TXMLItem& callStack, std::string_view table, bool oldFormat,
                  const std::optional<TCipherKey>& namesKey) {
  TXMLItem* thread = oldFormat ? callStack.AddChild("ExceptionThread") : nullptr;
  TXMLItem* target = thread;
  bool afterLines = false;
  bool groupEnded = false;
  for (const std::string_view row : DataRows(table)) {
    if (IsSeparatorRow(row)) {
      groupEnded = true;
      continue;
    }
    const std::vector<std::string> cells = RowCells(row);
    if (cells.size() < 6) {
      if (!thread) {
        thread = target = callStack.AddChild("ExceptionThread");
      } else if (afterLines && !groupEnded) {
        target = thread->AddChild("CallingThread");
      } else {
        thread = target = callStack.AddChild("RunningThread");
      }
      AddThreadAttributes(*target, row);
      afterLines = groupEnded = false;
      continue;
    }
    AddCallLine(target ? *target : callStack, cells, namesKey);
    afterLines = true;
  }
}

void AddModules(TXMLItem& modules, std::string_view table) {
  for (const std::string_view row : DataRows(table)) {
    if (IsSeparatorRow(row)) continue;
    const std::vector<std::string> cells = RowCells(row);
    TXMLItem* module = modules.AddChild("Module");
    static constexpr const char* Names[] = {"Handle", "Name", "Description", "Version", "Size"};
    for (std::size_t i = 0; i < 5; ++i) module->AddAttribute(Names[i], Cell(cells, i));
    if (cells.size() >= 7) {
      module->AddAttribute("Modified", Cell(cells, 5));
      module->AddAttribute("Path", Cell(cells, 6));
    } else {
      module->AddAttribute("Path", Cell(cells, 5));
    }
  }
}

void AddCPU(TXMLItem& cpu, std::string_view block) {
  if (block.empty()) return;
  const std::vector<std::string_view> lines = SplitCrlfLines(block);
  TXMLItem* registers = cpu.AddChild("Registers");
  static constexpr const char* Left[] = {"EAX", "EBX", "ECX", "EDX"};
  static constexpr const char* Right[] = {"EDI", "ESI", "ESP", "EIP"};
  for (int column = 0; column < 2; ++column) {
    for (std::size_t i = 0; i < 4; ++i) {
      if (2 + i >= lines.size()) break;
      const std::string_view value = Mid(lines[2 + i], column == 0 ? 5 : 21, 8);
      if (value.empty() || value == "????    ") continue;
      registers->AddAttribute(column == 0 ? Left[i] : Right[i], value);
    }
  }
  TXMLItem* stack = cpu.AddChild("Stack");
  TXMLItem* dump = cpu.AddChild("MemoryDump");
  for (std::size_t i = 9; i < lines.size(); ++i) {
    TXMLItem* slot = stack->AddChild("Line");
    slot->AddAttribute("Address", Mid(lines[i], 0, 8));
    slot->AddAttribute("Value", Mid(lines[i], 10, 8));
    TXMLItem* bytes = dump->AddChild("Line");
    bytes->AddAttribute("Address", Mid(lines[i], 21, 8));
    bytes->AddAttribute("Bytes", Mid(lines[i], 31, 47));
    bytes->AddAttribute("Chars", Mid(lines[i], 80, 16));
  }
}

}  // namespace

std::string TextAsLines(std::string_view text) {
  const std::string normalized = NormalizeLineBreaks(text);
  std::string out;
  for (const std::string_view line : SplitCrlfLines(normalized)) {
    out.append(line).append("\r\n");
  }
  return out;
}

std::string IndentLines(std::string_view text, std::string_view indent) {
  std::string out;
  for (const std::string_view line : SplitCrlfLines(text)) out.append(indent).append(line).append("\r\n");
  if (!text.ends_with("\r\n") && !out.empty()) out.resize(out.size() - 2);
  return out;
}

std::string ReportToXML(std::string_view report, const std::optional<TCipherKey>& namesKey) {
  const std::string version = ReportVersion(report);
  const bool oldFormat = version < FirstFormatVersion;
  TXMLItems items;
  AddGeneral(*items.Add("General"), ReportHeaderPart(report));
  AddCallStack(*items.Add("CallStack"), ReportCallStack(report), oldFormat, namesKey);
  AddModules(*items.Add("Modules"), ReportModules(report));
  AddCPU(*items.Add("CPU"), ReportProcessor(report));
  if (oldFormat) items.Add("HoToReproduce")->AddAttribute("Text", ReportReproduceText(report));

  std::string xml = "<Log Version=\"" + EscapeXMLAttribute(version) + "\">\r\n";
  for (int i = 0; i < items.Count(); ++i) {
    items.Items(i)->Indentation = "  ";
    xml += items.Items(i)->Render();
  }
  return xml + "</Log>";
}

std::string LogToXML(const std::vector<std::string>& reports,
                     const std::optional<TCipherKey>& namesKey) {
  std::string xml = "<Doc>\r\n";
  for (const std::string& report : reports) {
    xml += IndentLines(ReportToXML(report, namesKey) + "\r\n", "  ");
  }
  return xml + "</Doc>";
}
