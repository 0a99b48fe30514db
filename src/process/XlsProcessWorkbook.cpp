// The process workbook served by the workbook interface.
#include "process/XlsProcessWorkbook.h"

#include "chem/PTools.h"
#include "workbook/XlsObj.h"

namespace ploxen {

std::string XlsProcessWorkbook::BookName() {
  return xls_.BookName();
}
std::string XlsProcessWorkbook::BookPath(const std::string& name) {
  return xls_.BookPath(name);
}
int XlsProcessWorkbook::FindSheet(const std::string& name) {
  return xls_.FindSheet(name);
}
std::string XlsProcessWorkbook::SheetName(int index) {
  return xls_.SheetName(index);
}

std::string XlsProcessWorkbook::ReadCell(int sheet, int row, int column) {
  return Trim(xls_.ReadCell(sheet, row, column));
}

int XlsProcessWorkbook::ReadRow(int sheet, int row, std::vector<std::string>& list, int lastColumn,
                                int firstColumn) {
  return xls_.ReadRow(sheet, row, list, lastColumn, firstColumn);
}

int XlsProcessWorkbook::ReadColumn(int sheet, int column, std::vector<std::string>& list,
                                   int lastRow, int firstRow) {
  return xls_.ReadColumn(sheet, column, list, lastRow, firstRow);
}

bool XlsProcessWorkbook::ReadBlock(int sheet, int top, int left, int rows, int columns,
                                   std::vector<std::string>& cells) {
  return xls_.ReadBlock(sheet, top, left, rows, columns, cells);
}

int XlsProcessWorkbook::ReadColumnToGrid(int sheet, int column, int rowOffset, int gridColumn,
                                         StringGrid& grid, int lastRow, int firstRow) {
  return xls_.ReadColumnToGrid(sheet, column, rowOffset, gridColumn, grid, lastRow, firstRow);
}

int XlsProcessWorkbook::WriteCell(int sheet, int row, const std::string& text, int column) {
  return xls_.WriteCell(sheet, row, text, column);
}

int XlsProcessWorkbook::WriteColumn(int sheet, const std::vector<std::string>& list, int firstRow,
                                    int column) {
  return xls_.WriteColumn(sheet, list, firstRow, column);
}

int XlsProcessWorkbook::WriteRow(int sheet, const std::vector<std::string>& list, int firstColumn,
                                 int row) {
  return xls_.WriteRow(sheet, list, firstColumn, row);
}

int XlsProcessWorkbook::WriteRowFilled(int sheet, const std::vector<std::string>& list,
                                       int firstColumn, int row) {
  return xls_.WriteRowFilled(sheet, list, firstColumn, row);
}

int XlsProcessWorkbook::WriteGridColumn(const StringGrid& grid, int sheet, int column,
                                        int gridColumn) {
  return xls_.WriteGridColumn(grid, sheet, column, gridColumn);
}

int XlsProcessWorkbook::ClearColumn(int sheet, int column, int lastRow, int firstRow) {
  return xls_.ClearColumn(sheet, column, lastRow, firstRow);
}

int XlsProcessWorkbook::InsertRow(int sheet, int row) {
  return xls_.InsertRow(sheet, row);
}

bool XlsProcessWorkbook::DecimalComma() {
  return xls_.DecimalComma;
}

}  // namespace ploxen
