// Workbook interface: sheets, addresses and the interface window's commands.
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

int TXlsWnd::FindSheet(const std::string& name) {
  if (!server_ || !book_) return -1;
  int count = 0;
  if (!server_->SheetCount(book_, count)) return -1;
  std::string wanted = Lower(name);
  for (int i = 1; i <= count; ++i) {
    SheetHandle sheet = 0;
    std::string sheetName;
    if (server_->SheetItem(book_, i, sheet) && server_->SheetName(sheet, sheetName) &&
        Lower(sheetName) == wanted)
      return i;
  }
  return -1;
}

std::string TXlsWnd::SheetName(int index) {
  SheetHandle sheet = 0;
  std::string name;
  if (!server_ || !book_ || !server_->SheetItem(book_, index, sheet) ||
      !server_->SheetName(sheet, name))
    return "!";
  return name;
}

bool TXlsWnd::SelectSheet(int index) {
  if (index < 1 || !server_ || !book_) return false;
  // One call: a server refuses an index past the book's last sheet by itself, and every
  // sheet operation passes here (a call to a live office costs a round trip).
  SheetHandle sheet = 0;
  if (!server_->SheetItem(book_, index, sheet)) {
    if (server_->LastError() == ServerError::kNoSheet) return false;
    log_.Post(kMsgCritical, 374, "Data exchange is denied by MS Excel: " + bookName_ + " | exo");
    return false;
  }
  sheet_ = sheet;
  return true;
}

int TXlsWnd::LastRow(int sheet) {
  if (sheet <= 0 || !SelectSheet(sheet)) return 0;
  int row = 0, column = 0;
  lastRow_ = server_->LastCell(sheet_, row, column) ? row : 255;
  return lastRow_;
}

int TXlsWnd::LastColumn(int sheet) {
  if (sheet <= 0 || !SelectSheet(sheet)) return 0;
  int row = 0, column = 0;
  lastColumn_ = server_->LastCell(sheet_, row, column) ? column : 32;
  return lastColumn_;
}

std::string TXlsWnd::ColumnLetters(int n) {
  if (n < 1 || n > 702) return "";
  if (n <= 26) return std::string(1, static_cast<char>('A' + n - 1));
  int first = (n - 1) / 26;  // 1..26
  int second = (n - 1) % 26;
  return std::string{static_cast<char>('A' + first - 1), static_cast<char>('A' + second)};
}

std::string TXlsWnd::CellRef(int row, int column) {
  std::string sheetName;
  if (server_ && sheet_) server_->SheetName(sheet_, sheetName);
  std::string ref = "[" + bookName_ + "][" + sheetName + "]";
  if (row > 0 && column > 0) {
    ref += '[';
    ref += ColumnLetters(column);
    ref += ' ';
    ref += std::to_string(row);
    ref += ']';
  }
  return ref;
}

void TXlsWnd::UpdateWorkBooksClick() {
  if (ListBooks(1) <= 0) {
    CbxBook.Clear();
    CbxSheet.Clear();
    return;
  }
  ListSheets(CbxBook.itemIndex + 1);
}

void TXlsWnd::UpdateWorkSheetsClick() {
  if (CbxBook.itemIndex < 0) {
    CbxSheet.Clear();
    return;
  }
  ListSheets(CbxBook.itemIndex + 1);
}

void TXlsWnd::OpenClick(const std::string& path) {
  if (path.empty()) return;
  if (OpenBook(path) >= 0 && server_) server_->SetVisible(true);
}

void TXlsWnd::ReadClick() {
  int sheet = CbxSheet.itemIndex + 1;
  if (sheet < 1) return;
  int rows = LastRow(sheet);
  int columns = LastColumn(sheet);
  SGX.Resize(columns + 1, rows + 1);
  ClearGrid(0, 0, SGX);
  for (int r = 1; r <= rows; ++r) SGX.SetCell(0, r, std::to_string(r));
  // Column letters A..Z, then AA..AZ, BA..: the prefix advances every 26 columns up to ZZ.
  for (int c = 1; c <= columns && c <= 702; ++c) SGX.SetCell(c, 0, ColumnLetters(c));
  ReadSheetToGrid(sheet, SGX, 1, 1);
}

void TXlsWnd::SelectGridCell(int column, int row) {
  StatusPanel[0] = ColumnLetters(column) + ": " + std::to_string(row);
  StatusPanel[1] = std::to_string(column) + ": " + std::to_string(row);
}

}  // namespace ploxen
