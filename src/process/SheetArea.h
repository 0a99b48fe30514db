// A rectangle of one sheet read in one call, so that the many small reads of the condition
// sheet cost one call to a live office instead of one each.
#pragma once

#include <string>
#include <vector>

namespace ploxen {

class ProcessWorkbook;

/// Answers the reads that fall inside the rectangle as the workbook's own reads would (trimmed
/// texts, sequential reads stopping after "EOT"); other reads, and every read when the block
/// could not be read, go to the workbook with its messages.
class SheetArea {
 public:
  SheetArea(ProcessWorkbook& book, int sheet, int top, int left, int rows, int columns);

  bool Loaded() const { return loaded_; }
  std::string ReadCell(int row, int column);
  /// As ProcessWorkbook::ReadRow; served from the block when `lastColumn` > 0.
  int ReadRow(int row, std::vector<std::string>& list, int lastColumn, int firstColumn);
  /// As ProcessWorkbook::ReadColumn; served from the block when `lastRow` > 0.
  int ReadColumn(int column, std::vector<std::string>& list, int lastRow, int firstRow);

 private:
  bool Inside(int row, int column) const;
  const std::string& At(int row, int column) const;
  /// Cells (row + i·dRow, column + i·dColumn) for i = 0..count-1, stopping after "EOT".
  int Line(int row, int column, int dRow, int dColumn, int count, std::vector<std::string>& list);

  ProcessWorkbook& book_;
  int sheet_, top_, left_, rows_, columns_;
  bool loaded_ = false;
  std::vector<std::string> cells_;
};

}  // namespace ploxen
