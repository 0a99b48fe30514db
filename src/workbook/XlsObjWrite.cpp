// Workbook interface: cell and range writes.
#include "support/AplMsg.h"
#include "workbook/XlsObj.h"

namespace ploxen {

/// Writes `list` along a row or down a column from `first`; with `skipEmpty` empty entries
/// leave their cells alone. Stops at the first refused cell with message `number`.
int TXlsWnd::PutCells(int sheet, const std::vector<std::string>& list, int first, int fixed,
                      bool alongRow, bool skipEmpty, int level, int number) {
  if (!SelectSheet(sheet)) return 0;
  Busy(true);
  for (std::size_t i = 0; i < list.size(); ++i) {
    if (skipEmpty && list[i].empty()) continue;
    int row = alongRow ? fixed : first + static_cast<int>(i);
    int column = alongRow ? first + static_cast<int>(i) : fixed;
    if (!server_->SetCellValue(sheet_, row, column, list[i])) {
      log_.Post(level, number, "Error while write: " + CellRef(row, column));
      Busy(false);
      return 0;
    }
  }
  Busy(false);
  return static_cast<int>(list.size());
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

int TXlsWnd::ClearColumn(int sheet, int column, int lastRow, int firstRow) {
  if (!SelectSheet(sheet)) return 0;
  Busy(true);
  for (int row = firstRow; row <= lastRow; ++row) {
    if (!server_->SetCellValue(sheet_, row, column, "")) {
      log_.Post(kMsgError, 490, "Error while write: " + CellRef(row, column));
      Busy(false);
      return 0;
    }
  }
  Busy(false);
  return 1;
}

int TXlsWnd::WriteGridColumn(const StringGrid& grid, int sheet, int column, int gridColumn) {
  if (!SelectSheet(sheet)) return 0;
  Busy(true);
  for (int r = 0; r < grid.RowCount(); ++r) {
    if (!server_->SetCellValue(sheet_, r + 1, column, grid.Cell(gridColumn, r))) {
      log_.Post(kMsgCritical, 763, "Error while write:  " + CellRef(r + 1, column));
      Busy(false);
      return 0;
    }
  }
  Busy(false);
  return 1;
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
