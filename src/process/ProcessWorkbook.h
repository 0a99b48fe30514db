// The workbook operations the calculation driver and the shell use, with the results and
// messages of the workbook interface: sheets by 1-based index, every cell as trimmed text.
#pragma once

#include <string>
#include <vector>

namespace ploxen {

class StringGrid;

/// Access to the current process workbook. `XlsProcessWorkbook` serves it through the workbook
/// interface; tests may serve it from memory. Failures post their own messages.
class ProcessWorkbook {
 public:
  virtual ~ProcessWorkbook() = default;

  /// File name of the current book.
  virtual std::string BookName() = 0;
  /// Full path of the current book for "*", else `name` resolved against its folder.
  virtual std::string BookPath(const std::string& name) = 0;
  /// 1-based index of a sheet (name compared in lower case); -1 when missing.
  virtual int FindSheet(const std::string& name) = 0;
  /// Name of sheet `index`; "!" when there is none.
  virtual std::string SheetName(int index) = 0;

  /// `Value` of a cell as text; empty when it cannot be read.
  virtual std::string ReadCell(int sheet, int row, int column) = 0;
  /// Cells of `row` from `firstColumn` to `lastColumn` (0: to the first empty cell), stopping
  /// after "EOT". Count; minus the column on failure; 0 without sheet.
  virtual int ReadRow(int sheet, int row, std::vector<std::string>& list, int lastColumn,
                      int firstColumn) = 0;
  /// Cells of `column` from `firstRow` to `lastRow` (0: to the first empty cell), stopping
  /// after "EOT". Count; minus the row on failure; -1 without sheet.
  virtual int ReadColumn(int sheet, int column, std::vector<std::string>& list, int lastRow,
                         int firstRow) = 0;

  /// The trimmed values of a block of `rows` by `columns` cells from (top, left), row by row,
  /// in as few calls as the workbook allows. False, without a message, when the block cannot
  /// be read in one go: callers then read cell by cell through the calls above.
  virtual bool ReadBlock(int /*sheet*/, int /*top*/, int /*left*/, int /*rows*/, int /*columns*/,
                         std::vector<std::string>& /*cells*/) {
    return false;
  }

  /// Column `column` from `firstRow` to `lastRow` (0: to the last used row) into grid column
  /// `gridColumn`, sheet row r at grid row r + rowOffset - firstRow, stopping after "EOT".
  /// The last row read; minus the row on failure; 0 without sheet.
  virtual int ReadColumnToGrid(int sheet, int column, int rowOffset, int gridColumn,
                               StringGrid& grid, int lastRow, int firstRow) = 0;

  /// Writes `text` at (row, column); 1, or 0 on failure.
  virtual int WriteCell(int sheet, int row, const std::string& text, int column) = 0;
  /// Writes entry i at (firstRow + i, column); the count, or 0 on failure.
  virtual int WriteColumn(int sheet, const std::vector<std::string>& list, int firstRow,
                          int column) = 0;
  /// Writes entry i at (row, firstColumn + i); the count, or 0 on failure.
  virtual int WriteRow(int sheet, const std::vector<std::string>& list, int firstColumn,
                       int row) = 0;
  /// As WriteRow, empty entries skipped.
  virtual int WriteRowFilled(int sheet, const std::vector<std::string>& list, int firstColumn,
                             int row) = 0;
  /// Grid cell (gridColumn, r) at (r + 1, column) for every grid row r; 1, or 0 on failure.
  virtual int WriteGridColumn(const StringGrid& grid, int sheet, int column, int gridColumn) = 0;
  /// Empties (row, column) for rows `firstRow`..`lastRow`; 1, or 0 on failure.
  virtual int ClearColumn(int sheet, int column, int lastRow, int firstRow) = 0;
  /// Inserts a whole row above `row`; row, or -1 on failure.
  virtual int InsertRow(int sheet, int row) = 0;
  /// True when the user's locale writes decimal numbers with ",".
  virtual bool DecimalComma() { return false; }
};

}  // namespace ploxen
