// An in-memory process workbook for the driver tests: sheets of text cells with the read and
// write rules of the workbook interface, and cells that can be made to refuse access.
#pragma once

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "chem/PTools.h"
#include "process/ProcessWorkbook.h"
#include "support/StringGrid.h"

namespace ploxen::test {

class MemoryWorkbook : public ProcessWorkbook {
 public:
  using Cell = std::pair<int, int>;  // row, column
  struct Sheet {
    std::string name;
    std::map<Cell, std::string> cells;
  };

  std::string name = "Book.xlsx";
  std::string folder = "/data";
  std::vector<Sheet> sheets;
  std::set<std::pair<int, Cell>> refusedReads;   // (sheet, cell)
  std::set<std::pair<int, Cell>> refusedWrites;  // (sheet, cell)
  int writes = 0;
  bool blockReads = true;  // false: ReadBlock refuses, as a workbook without block reads
  int blockCalls = 0;
  bool decimalComma = false;

  /// Adds a sheet with rows of cells from A1 on; returns its index.
  int AddSheet(const std::string& sheetName, const std::vector<std::vector<std::string>>& rows) {
    Sheet s{sheetName, {}};
    for (size_t r = 0; r < rows.size(); ++r) {
      for (size_t c = 0; c < rows[r].size(); ++c) {
        if (!rows[r][c].empty()) s.cells[{int(r) + 1, int(c) + 1}] = rows[r][c];
      }
    }
    sheets.push_back(s);
    return static_cast<int>(sheets.size());
  }
  std::string Get(int sheet, int row, int column) const {
    const auto& m = sheets[sheet - 1].cells;
    const auto it = m.find({row, column});
    return it == m.end() ? std::string() : it->second;
  }
  std::string Get(const std::string& sheet, int row, int column) {
    return Get(FindSheet(sheet), row, column);
  }
  void Set(int sheet, int row, int column, const std::string& text) {
    if (text.empty()) {
      sheets[sheet - 1].cells.erase({row, column});
    } else {
      sheets[sheet - 1].cells[{row, column}] = text;
    }
  }

  std::string BookName() override { return name; }
  std::string BookPath(const std::string& n) override {
    return n == "*" ? folder + "/" + name : folder + "/" + n;
  }
  int FindSheet(const std::string& n) override {
    for (size_t i = 0; i < sheets.size(); ++i) {
      if (Lower(sheets[i].name) == Lower(n)) return static_cast<int>(i) + 1;
    }
    return -1;
  }
  std::string SheetName(int index) override { return Valid(index) ? sheets[index - 1].name : "!"; }
  std::string ReadCell(int sheet, int row, int column) override {
    if (!Valid(sheet) || refusedReads.count({sheet, {row, column}})) return {};
    return Trim(Get(sheet, row, column));
  }
  int ReadRow(int sheet, int row, std::vector<std::string>& list, int last, int first) override {
    if (!Valid(sheet)) return 0;
    return Walk(sheet, list, last, first, [&](int i) { return Cell{row, i}; });
  }
  int ReadColumn(int sheet, int column, std::vector<std::string>& list, int last,
                 int first) override {
    if (!Valid(sheet)) return -1;
    return Walk(sheet, list, last, first, [&](int i) { return Cell{i, column}; });
  }
  bool ReadBlock(int sheet, int top, int left, int rows, int columns,
                 std::vector<std::string>& cells) override {
    cells.clear();
    if (!blockReads || !Valid(sheet)) return false;
    ++blockCalls;
    for (int r = top; r < top + rows; ++r) {
      for (int c = left; c < left + columns; ++c) {
        if (refusedReads.count({sheet, {r, c}})) return false;
        cells.push_back(Trim(Get(sheet, r, c)));
      }
    }
    return true;
  }
  int ReadColumnToGrid(int sheet, int column, int rowOffset, int gridColumn, StringGrid& grid,
                       int lastRow, int firstRow) override {
    if (!Valid(sheet)) return 0;
    if (firstRow <= 0) firstRow = 1;
    if (lastRow <= 0) lastRow = LastUsedRow(sheet);
    if (grid.RowCount() < lastRow) grid.SetRowCount(lastRow + 1);
    int row = firstRow;
    for (; row <= lastRow; ++row) {
      if (refusedReads.count({sheet, {row, column}})) return -row;
      const std::string text = Trim(Get(sheet, row, column));
      grid.SetCell(gridColumn, row + rowOffset - firstRow, text);
      if (text == "EOT") return row - 1;
    }
    return lastRow - 1;  // the last row read, less 1 as the interface counts it
  }
  int WriteCell(int sheet, int row, const std::string& text, int column) override {
    return Write(sheet, row, column, text) ? 1 : 0;
  }
  int WriteColumn(int sheet, const std::vector<std::string>& list, int firstRow,
                  int column) override {
    for (size_t i = 0; i < list.size(); ++i) {
      if (!Write(sheet, firstRow + int(i), column, list[i])) return 0;
    }
    return static_cast<int>(list.size());
  }
  int WriteRow(int sheet, const std::vector<std::string>& list, int firstColumn, int row) override {
    for (size_t i = 0; i < list.size(); ++i) {
      if (!Write(sheet, row, firstColumn + int(i), list[i])) return 0;
    }
    return static_cast<int>(list.size());
  }
  int WriteRowFilled(int sheet, const std::vector<std::string>& list, int firstColumn,
                     int row) override {
    for (size_t i = 0; i < list.size(); ++i) {
      if (!list[i].empty() && !Write(sheet, row, firstColumn + int(i), list[i])) return 0;
    }
    return static_cast<int>(list.size());
  }
  int WriteGridColumn(const StringGrid& grid, int sheet, int column, int gridColumn) override {
    for (int r = 0; r < grid.RowCount(); ++r) {
      if (!Write(sheet, r + 1, column, grid.Cell(gridColumn, r))) return 0;
    }
    return 1;
  }
  int ClearColumn(int sheet, int column, int lastRow, int firstRow) override {
    for (int row = firstRow; row <= lastRow; ++row) {
      if (!Write(sheet, row, column, "")) return 0;
    }
    return 1;
  }
  int InsertRow(int sheet, int row) override {
    if (!Valid(sheet)) return -1;
    std::map<Cell, std::string> moved;
    for (auto& [cell, text] : sheets[sheet - 1].cells) {
      moved[{cell.first >= row ? cell.first + 1 : cell.first, cell.second}] = text;
    }
    sheets[sheet - 1].cells = moved;
    return row;
  }

  bool DecimalComma() override { return decimalComma; }

 private:
  static std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
  }
  int LastUsedRow(int sheet) const {
    int last = 0;
    for (const auto& [cell, text] : sheets[sheet - 1].cells) last = std::max(last, cell.first);
    return last;
  }
  bool Valid(int sheet) const { return sheet >= 1 && sheet <= static_cast<int>(sheets.size()); }
  bool Write(int sheet, int row, int column, const std::string& text) {
    if (!Valid(sheet) || refusedWrites.count({sheet, {row, column}})) return false;
    ++writes;
    Set(sheet, row, column, text);
    return true;
  }
  template <typename At>
  int Walk(int sheet, std::vector<std::string>& list, int last, int first, At at) {
    list.clear();
    if (first < 1) first = 1;
    const bool stopAtEmpty = last <= 0;
    if (stopAtEmpty) last = 1000;
    for (int i = first; i <= last; ++i) {
      const Cell cell = at(i);
      if (refusedReads.count({sheet, cell})) return -i;
      const std::string text = Trim(Get(sheet, cell.first, cell.second));
      if (text == "EOT") {
        list.push_back(text);
        break;
      }
      if (text.empty() && stopAtEmpty) break;
      list.push_back(text);
    }
    return static_cast<int>(list.size());
  }
};

}  // namespace ploxen::test
