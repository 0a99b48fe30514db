// String grid model: rows and columns of text cells as a result window shows them.
#pragma once

#include <string>
#include <vector>

namespace ploxen {

/// A rectangle of cells, `left`..`right` and `top`..`bottom` inclusive.
struct GridRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
};

/// Rows x columns of text, addressed (column, row) from 0; row 0 holds the headers.
class StringGrid {
 public:
  StringGrid(int colCount = 5, int rowCount = 5);

  int ColCount() const { return colCount_; }
  int RowCount() const { return static_cast<int>(rows_.size()); }
  void SetColCount(int count);
  void SetRowCount(int count);
  void Resize(int colCount, int rowCount);

  /// Text of a cell; empty outside the grid.
  const std::string& Cell(int col, int row) const;
  /// Sets a cell; ignored outside the grid.
  void SetCell(int col, int row, const std::string& text);
  /// Whole row (ColCount cells); used to move rows.
  std::vector<std::string>& Row(int row) { return rows_[row]; }
  const std::vector<std::string>& Row(int row) const { return rows_[row]; }
  bool Contains(int col, int row) const {
    return col >= 0 && row >= 0 && col < colCount_ && row < RowCount();
  }

  int tag = 0;                     ///< free number the owner window gives the grid
  int fixedRows = 1;               ///< header rows
  int fixedCols = 1;               ///< header columns
  int defaultRowHeight = 24;       ///< [pixel]
  int col0Width = 64;              ///< width of column 0 [pixel]
  GridRect selection{1, 1, 1, 1};  ///< the selected range
  int col = 1;                     ///< current column
  int row = 1;                     ///< current row

 private:
  int colCount_ = 0;
  std::vector<std::vector<std::string>> rows_;
};

}  // namespace ploxen
