// Workbook interface: cell and range writes.
#include "support/AplMsg.h"
#include "workbook/XlsObj.h"

namespace ploxen {

/// Writes `list` along a row or down a column from `first`; with `skipEmpty` empty entries
/// leave their cells alone. The list goes to the server as one block; when the server refuses
/// the block it is written again cell by cell, so the message names the first refused cell.
int TXlsWnd::PutCells(int sheet, const std::vector<std::string>& list, int first, int fixed,
                      bool alongRow, bool skipEmpty, int level, int number, const char* prefix) {
  if (!SelectSheet(sheet)) return 0;
  if (list.empty()) return 0;
  Busy(true);
  const int count = static_cast<int>(list.size());
  CellBlock block = alongRow ? CellBlock{fixed, first, 1, count} : CellBlock{first, fixed, count, 1};
  if (!server_->SetRangeValues(sheet_, block, list, skipEmpty)) {
    for (int i = 0; i < count; ++i) {
      if (skipEmpty && list[static_cast<std::size_t>(i)].empty()) continue;
      int row = alongRow ? fixed : first + i;
      int column = alongRow ? first + i : fixed;
      if (!server_->SetCellValue(sheet_, row, column, list[static_cast<std::size_t>(i)])) {
        log_.Post(level, number, prefix + CellRef(row, column));
        Busy(false);
        return 0;
      }
    }
  }
  Busy(false);
  return count;
}

int TXlsWnd::WriteColumn(int sheet, const std::vector<std::string>& list, int firstRow,
                         int column) {
  return PutCells(sheet, list, firstRow, column, false, false, kMsgError, 511);
}

int TXlsWnd::WriteRow(int sheet, const std::vector<std::string>& list, int firstColumn, int row) {
  return PutCells(sheet, list, firstColumn, row, true, false, kMsgError, 532);
}

int TXlsWnd::WriteRowFilled(int sheet, const std::vector<std::string>& list, int firstColumn,
                            int row) {
  return PutCells(sheet, list, firstColumn, row, true, true, kMsgError, 532);
}

// These two select the sheet once, in PutCells, unless there is nothing to write: every
// selection is a call to the server.
int TXlsWnd::ClearColumn(int sheet, int column, int lastRow, int firstRow) {
  if (lastRow < firstRow) return SelectSheet(sheet) ? 1 : 0;
  std::vector<std::string> empty(static_cast<std::size_t>(lastRow - firstRow + 1));
  return PutCells(sheet, empty, firstRow, column, false, false, kMsgError, 490) > 0 ? 1 : 0;
}

int TXlsWnd::WriteGridColumn(const StringGrid& grid, int sheet, int column, int gridColumn) {
  if (grid.RowCount() <= 0) return SelectSheet(sheet) ? 1 : 0;
  std::vector<std::string> cells;
  cells.reserve(static_cast<std::size_t>(grid.RowCount()));
  for (int r = 0; r < grid.RowCount(); ++r) cells.push_back(grid.Cell(gridColumn, r));
  return PutCells(sheet, cells, 1, column, false, false, kMsgCritical, 763,
                  "Error while write:  ") > 0 ? 1 : 0;
}

int TXlsWnd::WriteCell(int sheet, int row, const std::string& text, int column) {
  if (!SelectSheet(sheet)) return 0;
  if (!server_->SetCellValue(sheet_, row, column, text)) {
    log_.Post(kMsgCritical, 834, "Error while write:  " + CellRef(row, column));
    return 0;
  }
  return 1;
}

int TXlsWnd::InsertRow(int sheet, int row) {
  if (!SelectSheet(sheet)) return 0;
  return server_->InsertRow(sheet_, row) ? row : -1;
}

}  // namespace ploxen
