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

namespace {

/// Cells read per server call: a column of a phase sheet of a thousand compounds takes one
/// call (each call to a live office costs a few round trips, whatever its size), and a walk
/// that stops early reads no further than the sheet's used area or the caller's bound.
constexpr int kBlockCells = 2048;
/// Cells of one block read (ReadBlock).
constexpr int kGridBlockCells = 16384;

}  // namespace

bool TXlsWnd::ReadOne(int row, int column, ReadKind kind, bool textFallback, std::string& text) {
  bool ok = kind == ReadKind::kValue ? server_->CellValue(sheet_, row, column, text)
                                     : server_->CellText(sheet_, row, column, text);
  if (!ok && kind == ReadKind::kValue && textFallback)
    ok = server_->CellText(sheet_, row, column, text);
  return ok;
}

int TXlsWnd::WalkCells(int fixed, bool alongRow, int first, int last, ReadKind kind,
                       bool textFallback,
                       const std::function<bool(int, const std::string&)>& visit) {
  std::vector<std::string> texts;
  for (int start = first; start <= last; start += kBlockCells) {
    int count = std::min(kBlockCells, last - start + 1);
    CellBlock block = alongRow ? CellBlock{fixed, start, 1, count} : CellBlock{start, fixed, count, 1};
    bool ok = kind == ReadKind::kValue ? server_->RangeValues(sheet_, block, texts)
                                       : server_->RangeTexts(sheet_, block, texts);
    ok = ok && texts.size() == static_cast<std::size_t>(count);
    for (int i = start; i < start + count; ++i) {
      std::string single;
      if (!ok && !ReadOne(alongRow ? fixed : i, alongRow ? i : fixed, kind, textFallback, single))
        return i;
      if (!visit(i, ok ? texts[static_cast<std::size_t>(i - start)] : single)) return 0;
    }
  }
  return 0;
}

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
  int failed = WalkCells(fixed, alongRow, first, last, kind, kind == ReadKind::kValue && !alongRow,
                         [&](int, const std::string& cell) {
                           std::string text = Trim(cell);
                           if (StopAtEot && text == EotMarker) {
                             list.push_back(text);
                             return false;
                           }
                           if (text.empty() && StopAtEmpty) return false;
                           list.push_back(text);
                           return true;
                         });
  if (failed > 0) {
    int row = alongRow ? fixed : failed;
    int column = alongRow ? failed : fixed;
    log_.Post(kMsgCritical, number, "Error while read: " + CellRef(row, column));
    Busy(false);
    return -failed;
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
  int failed = WalkCells(column, false, firstRow, lastRow, ReadKind::kValue, false,
                         [&](int r, const std::string& cell) {
                           row = r;
                           std::string text = Trim(cell);
                           grid.SetCell(gridColumn, r + rowOffset - firstRow, text);
                           return !(StopAtEot && text == EotMarker);
                         });
  if (failed > 0) {
    log_.Post(kMsgCritical, 730, "Error while read:  " + CellRef(failed, column));
    Busy(false);
    return -failed;
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
  int found = 0;
  int failed = WalkCells(column, false, firstRow, lastRow, ReadKind::kValue, false,
                         [&](int row, const std::string& value) {
                           std::string lower = Lower(value);
                           if (lower == wanted) {
                             found = row;
                             return false;
                           }
                           return !((StopAtEmpty && value.empty()) ||
                                    (StopAtEot && Lower(Trim(value)) == "eot"));
                         });
  if (failed > 0) {
    log_.Post(kMsgCritical, 867, "Error while read:  " + CellRef(failed, column));
    Busy(false);
    return -1;
  }
  Busy(false);
  return found;
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

bool TXlsWnd::ReadBlock(int sheet, int top, int left, int rows, int columns,
                        std::vector<std::string>& cells) {
  cells.clear();
  if (top < 1 || left < 1 || rows < 0 || columns < 0) return false;
  if (rows == 0 || columns == 0) return true;
  if (!SelectSheet(sheet)) return false;
  Busy(true);
  // A phase sheet's columns B to J of a thousand compounds are one call.
  const int blockRows = std::max(1, kGridBlockCells / columns);
  std::vector<std::string> texts;
  bool ok = true;
  for (int first = top; ok && first < top + rows; first += blockRows) {
    CellBlock block{first, left, std::min(blockRows, top + rows - first), columns};
    ok = server_->RangeValues(sheet_, block, texts) &&
         texts.size() == static_cast<std::size_t>(block.Size());
    for (std::size_t i = 0; ok && i < texts.size(); ++i) cells.push_back(Trim(texts[i]));
  }
  Busy(false);
  if (!ok) cells.clear();
  return ok;
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
  int rows = std::min(lastRow, grid.RowCount() - 1);
  int columns = std::min(lastColumn, grid.ColCount() - 1);
  int blockRows = std::max(1, kBlockCells / std::max(1, columns));
  std::vector<std::string> texts;
  for (int top = 1; columns > 0 && top <= rows; top += blockRows) {
    CellBlock block{top, 1, std::min(blockRows, rows - top + 1), columns};
    bool ok = server_->RangeValues(sheet_, block, texts) &&
              texts.size() == static_cast<std::size_t>(block.Size());
    for (int i = top; i < top + block.rows; ++i) {
      for (int j = 1; j <= columns; ++j) {
        std::string single;
        if (!ok && !server_->CellValue(sheet_, i, j, single)) {
          log_.Post(kMsgCritical, 457, "Error while read: " + CellRef(i, j));
          Busy(false);
          return -1;
        }
        const std::size_t at = static_cast<std::size_t>((i - top) * columns + j - 1);
        grid.SetCell(j + columnOffset - 1, i + rowOffset - 1, ok ? texts[at] : single);
      }
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
