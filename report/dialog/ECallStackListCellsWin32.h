// The few list-view calls both lists of the error dialog make: a report view with full-row
// selection, its columns and widths, and rows of texts.
#pragma once

#include "platform/win/WinApi.h"

#include <cstddef>
#include <string>
#include <vector>

// Report style, one row selected at a time across the whole row, the image list left to the
// control to free; no rows, no columns.
void ResetReportListView(HWND list);
void AddListColumns(HWND list, const std::vector<std::string>& captions, const int* widths);
void ReadListColumnWidths(HWND list, int* widths, std::size_t count);
// Inserts a row at index with its cells; image < 0: none. Returns the row's index or -1.
int InsertListRow(HWND list, int index, const std::vector<std::string>& cells, int image,
                  LPARAM data = 0);
