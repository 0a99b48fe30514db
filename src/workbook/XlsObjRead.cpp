// Workbook interface: sequential reads, single reads and grids.
#include <algorithm>

#include "chem/PTools.h"
#include "support/AplMsg.h"
#include "workbook/XlsObj.h"

namespace ploxen {

namespace {

std::string Lower(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return s;
}

}  // namespace

/// The walk shared by ReadRow, ReadRowText, ReadColumn and ReadColumnText: along a row
/// (`alongRow`, `fixed` = row) or down a column (`fixed` = column), trimmed texts into
/// `list`, stopping at "EOT" (delivered) while StopAtEot and at an empty cell (not
/// delivered) while StopAtEmpty. ReadColumn falls back to Text when Value is refused.
int TXlsWnd::ReadLine(int sheet, int fixed, bool alongRow, std::vector<std::string>& list, int last,
                      int first, ReadKind kind, int number, int missingSheet) {
  if (!SelectSheet(sheet)) return missingSheet;
  Busy(true);
  if (alongRow && fixed <= 0) fixed = 1;
  if (first <= 0) first = 1;
  StopAtEmpty = last <= 0;
  if (StopAtEmpty) {
    int row = 0, column = 0;
    if (server_->LastCell(sheet_, row, column)) {
      if (alongRow)
        lastColumn_ = column;
      else
        lastRow_ = row;
    } else {
      if (alongRow)
        lastColumn_ = 32;
      else
        lastRow_ = 255;
    }
    last = alongRow ? lastColumn_ : lastRow_;
  }
  list.clear();
  for (int i = first; i <= last; ++i) {
    int row = alongRow ? fixed : i;
    int column = alongRow ? i : fixed;
    std::string text;
    bool ok = kind == ReadKind::kValue ? server_->CellValue(sheet_, row, column, text)
                                       : server_->CellText(sheet_, row, column, text);
    if (!ok && kind == ReadKind::kValue && !alongRow)
      ok = server_->CellText(sheet_, row, column, text);
    if (!ok) {
      log_.Post(kMsgCritical, number, "Error while read: " + CellRef(row, column));
      Busy(false);
      return -i;
    }
    text = Trim(text);
    if (StopAtEot && text == EotMarker) {
      list.push_back(text);
      break;
    }
    if (text.empty() && StopAtEmpty) break;
    list.push_back(text);
  }
  Busy(false);
  return static_cast<int>(list.size());
}

int TXlsWnd::ReadRow(int sheet, int row, std::vector<std::string>& list, int lastColumn,
                     int firstColumn) {
  return ReadLine(sheet, row, true, list, lastColumn, firstColumn, ReadKind::kValue, 561, 0);
}

int TXlsWnd::ReadRowText(int sheet, int row, std::vector<std::string>& list, int lastColumn,
                         int firstColumn) {
  return ReadLine(sheet, row, true, list, lastColumn, firstColumn, ReadKind::kText, 601, 0);
}

int TXlsWnd::ReadColumn(int sheet, int column, std::vector<std::string>& list, int lastRow,
                        int firstRow) {
  return ReadLine(sheet, column, false, list, lastRow, firstRow, ReadKind::kValue, 638, -1);
}

int TXlsWnd::ReadColumnText(int sheet, int column, std::vector<std::string>& strings, int lastRow,
                            int firstRow) {
  return ReadLine(sheet, column, false, strings, lastRow, firstRow, ReadKind::kText, 676, 0);
}

int TXlsWnd::ReadColumnToGrid(int sheet, int column, int rowOffset, int gridColumn,
                              StringGrid& grid, int lastRow, int firstRow) {
  if (!SelectSheet(sheet)) return 0;
  Busy(true);
  if (firstRow <= 0) firstRow = 1;
  StopAtEmpty = lastRow <= 0;
  if (StopAtEmpty) {
    int row = 0, col = 0;
    lastRow_ = server_->LastCell(sheet_, row, col) ? row : 255;
    lastRow = lastRow_;
  }
  if (grid.RowCount() < lastRow) grid.SetRowCount(lastRow + 1);
  int row = firstRow;
  for (; row <= lastRow; ++row) {
    std::string text;
    if (!server_->CellValue(sheet_, row, column, text)) {
      log_.Post(kMsgCritical, 730, "Error while read:  " + CellRef(row, column));
      Busy(false);
      return -row;
    }
    text = Trim(text);
    grid.SetCell(gridColumn, row + rowOffset - firstRow, text);
    if (StopAtEot && text == EotMarker) break;
  }
  if (row > lastRow) row = lastRow;  // the walk ran to its end
  Busy(false);
  return StopAtEot ? row - 1 : row;
}

int TXlsWnd::FindInColumn(int sheet, int column, const std::string& text, int lastRow,
                          int firstRow) {
  if (!SelectSheet(sheet)) return 0;
  Busy(true);
  if (column <= 0) column = 1;
  if (firstRow <= 0) firstRow = 1;
  StopAtEmpty = lastRow <= 0;
  if (StopAtEmpty) {
    int row = 0, col = 0;
    lastRow_ = server_->LastCell(sheet_, row, col) ? row : 255;
    lastRow = lastRow_;
  }
  std::string wanted = Lower(text);
  for (int row = firstRow; row <= lastRow; ++row) {
    std::string value;
    if (!server_->CellValue(sheet_, row, column, value)) {
      log_.Post(kMsgCritical, 867, "Error while read:  " + CellRef(row, column));
      Busy(false);
      return -1;
    }
    std::string lower = Lower(value);
    if (lower == wanted) {
      Busy(false);
      return row;
    }
    if ((StopAtEmpty && value.empty()) || (StopAtEot && Lower(Trim(value)) == "eot")) break;
  }
  Busy(false);
  return 0;
}

std::string TXlsWnd::ReadCell(int sheet, int row, int column) {
  if (!SelectSheet(sheet)) return "";
  std::string text;
  if (!server_->CellValue(sheet_, row, column, text)) {
    log_.Post(kMsgCritical, readCellMessage_, "Error while read:  " + CellRef(row, column));
    return "";
  }
  return text;
}

int TXlsWnd::ReadSheetToGrid(int sheet, StringGrid& grid, int rowOffset, int columnOffset) {
  if (!SelectSheet(sheet)) return 0;
  Busy(true);
  int lastRow = 0, lastColumn = 0;
  if (!server_->LastCell(sheet_, lastRow, lastColumn)) {
    lastRow = 255;
    lastColumn = 32;
  }
  lastRow_ = lastRow;
  lastColumn_ = lastColumn;
  for (int i = 1; i <= lastRow && i < grid.RowCount(); ++i) {
    for (int j = 1; j <= lastColumn && j < grid.ColCount(); ++j) {
      std::string text;
      if (!server_->CellValue(sheet_, i, j, text)) {
        log_.Post(kMsgCritical, 457, "Error while read: " + CellRef(i, j));
        Busy(false);
        return -1;
      }
      grid.SetCell(j + columnOffset - 1, i + rowOffset - 1, text);
    }
  }
  Busy(false);
  return 1;
}

void TXlsWnd::ClearGrid(int column, int row, StringGrid& grid) {
  for (int r = std::max(0, row); r < grid.RowCount(); ++r)
    for (int c = std::max(0, column); c < grid.ColCount(); ++c) grid.SetCell(c, r, "");
}

}  // namespace ploxen
