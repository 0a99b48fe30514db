// The process workbook served by the workbook interface.
#pragma once

#include "process/ProcessWorkbook.h"

namespace ploxen {

class TXlsWnd;

/// Forwards every operation to the workbook interface's current book.
class XlsProcessWorkbook : public ProcessWorkbook {
 public:
  explicit XlsProcessWorkbook(TXlsWnd& xls) : xls_(xls) {}

  std::string BookName() override;
  std::string BookPath(const std::string& name) override;
  int FindSheet(const std::string& name) override;
  std::string SheetName(int index) override;
  std::string ReadCell(int sheet, int row, int column) override;
  int ReadRow(int sheet, int row, std::vector<std::string>& list, int lastColumn,
              int firstColumn) override;
  int ReadColumn(int sheet, int column, std::vector<std::string>& list, int lastRow,
                 int firstRow) override;
  bool ReadBlock(int sheet, int top, int left, int rows, int columns,
                 std::vector<std::string>& cells) override;
  int ReadColumnToGrid(int sheet, int column, int rowOffset, int gridColumn, StringGrid& grid,
                       int lastRow, int firstRow) override;
  int WriteCell(int sheet, int row, const std::string& text, int column) override;
  int WriteColumn(int sheet, const std::vector<std::string>& list, int firstRow,
                  int column) override;
  int WriteRow(int sheet, const std::vector<std::string>& list, int firstColumn, int row) override;
  int WriteRowFilled(int sheet, const std::vector<std::string>& list, int firstColumn,
                     int row) override;
  int WriteGridColumn(const StringGrid& grid, int sheet, int column, int gridColumn) override;
  int ClearColumn(int sheet, int column, int lastRow, int firstRow) override;
  int InsertRow(int sheet, int row) override;
  bool DecimalComma() override;

 private:
  TXlsWnd& xls_;
};

}  // namespace ploxen
