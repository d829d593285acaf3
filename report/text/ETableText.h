// The bordered tables of the report (call stack, modules): column widths and padded rows.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

using TTableRow = std::vector<std::string>;

// Each column as wide as its header or its longest cell, and at least minimum[i].
std::vector<std::size_t> ColumnWidths(const TTableRow& headers, const std::vector<TTableRow>& rows,
                                      const std::vector<std::size_t>& minimum);
// "|a  |b |" with every cell padded on the right to its width.
std::string TableRow(const TTableRow& cells, const std::vector<std::size_t>& widths);
std::string PadRight(std::string text, std::size_t width);
std::size_t SumOf(const std::vector<std::size_t>& widths);
