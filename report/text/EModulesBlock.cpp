#include <algorithm>

#include "platform/SysUtils.h"
#include "report/text/EReportBlocks.h"
#include "report/text/EReportValues.h"
#include "report/text/ETableText.h"

namespace {

std::string TitleOnly(const std::string& title) {
  return title + ":\r\n" + std::string(title.size() + 1, '-') + "\r\n\r\n";
}

std::string FileTime(TDateTime value) {
  DecodedDateTime d;
  if (!TryDecodeDateTime(value, d)) return {};
  return Format("%04d-%02d-%02d %02d:%02d:%02d", d.year, d.month, d.day, d.hour, d.minute,
                d.second);
}

}  // namespace

TTableRow ModulesHeaders(const TOskedaModuleOptions& o) {
  return {o.GetText(84), o.GetText(85), o.GetText(86), o.GetText(87),
          o.GetText(88), o.GetText(89), o.GetText(90)};
}

std::vector<TTableRow> ModulesRows(const std::vector<TModuleSnapshot>& modules,
                                   const TOskedaModuleOptions& o) {
  std::vector<const TModuleSnapshot*> sorted;
  for (const TModuleSnapshot& m : modules) sorted.push_back(&m);
  std::stable_sort(sorted.begin(), sorted.end(),
                   [](auto* a, auto* b) { return a->Handle < b->Handle; });

  // The handle's digits follow its column's width, so the column is measured on the widest
  // handle first and the cells are written to that width afterwards.
  std::vector<TTableRow> rows;
  for (const TModuleSnapshot* m : sorted)
    rows.push_back({HexAddress(m->Handle), std::string(ExtractFileName(m->Path)), m->Description,
                    m->Version, std::to_string(m->Size), FileTime(m->Modified),
                    ExtractFolder(m->Path)});
  const std::vector<std::size_t> widths = ColumnWidths(ModulesHeaders(o), rows, {8});
  for (std::size_t i = 0; i < rows.size(); ++i)
    rows[i][0] = HexAddress(sorted[i]->Handle, static_cast<int>(widths[0]));
  return rows;
}

std::string BuildModulesBlock(const std::vector<TModuleSnapshot>& modules,
                              const TOskedaModuleOptions& o) {
  if (!o.LogFlags().Contains(lfModulesSection)) return TitleOnly(o.GetText(9));
  const std::vector<TTableRow> rows = ModulesRows(modules, o);
  const TTableRow headers = ModulesHeaders(o);
  const std::vector<std::size_t> widths = ColumnWidths(headers, rows, {8});
  const std::string border(SumOf(widths) + 8, '-');

  std::string out = o.GetText(9) + ":\r\n" + border + "\r\n" + TableRow(headers, widths) + "\r\n" +
                    border + "\r\n";
  for (const TTableRow& row : rows) out += TableRow(row, widths) + "\r\n";
  return out + border + "\r\n\r\n";
}
