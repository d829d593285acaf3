#include "report/text/ETableText.h"

#include <algorithm>
#include <numeric>

std::vector<std::size_t> ColumnWidths(const TTableRow& headers, const std::vector<TTableRow>& rows,
                                      const std::vector<std::size_t>& minimum) {
  std::vector<std::size_t> widths(headers.size());
  for (std::size_t i = 0; i < headers.size(); ++i) {
    widths[i] = std::max(headers[i].size(), i < minimum.size() ? minimum[i] : 0);
    for (const TTableRow& row : rows) widths[i] = std::max(widths[i], row[i].size());
  }
  return widths;
}

std::string PadRight(std::string text, std::size_t width) {
  if (text.size() < width) text.append(width - text.size(), ' ');
  return text;
}

std::string TableRow(const TTableRow& cells, const std::vector<std::size_t>& widths) {
  std::string row = "|";
  for (std::size_t i = 0; i < cells.size(); ++i) row += PadRight(cells[i], widths[i]) + "|";
  return row;
}

std::size_t SumOf(const std::vector<std::size_t>& widths) {
  return std::accumulate(widths.begin(), widths.end(), std::size_t{0});
}
