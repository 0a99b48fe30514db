// Sending whole grids to a new workbook of the spreadsheet application.
#include "process/ExportBook.h"

#include "support/AplMsg.h"
#include "support/TablOprt.h"
#include "support/UserDialogs.h"
#include "workbook/EmbeddedServer.h"

namespace ploxen {

TExportBook::TExportBook(TAplMsgWnd& log, TTablOprtWnd& table, SpreadsheetServerFactory& factory)
    : log_(log), table_(table), factory_(factory) {}

std::string ExportCellText(int column, int row) {
  if (column >= 1 && column <= 25) {
    return std::string("[") + static_cast<char>('A' + column - 1) + " " + std::to_string(row) + "]";
  }
  return std::string("[") + std::to_string(column - 1) + ";" + std::to_string(row) + "]";
}

// Appends a sheet named "Sheet<n>" with the first free n; its handle, 0 on failure.
SheetHandle TExportBook::AddSheet() {
  int count = 0;
  server_->SheetCount(book_, count);
  SheetHandle sheet = 0;
  for (int n = count + 1; n < count + 100; ++n) {
    if (server_->AddSheet(book_, "Sheet" + std::to_string(n), count + 1, sheet)) return sheet;
  }
  return 0;
}

int TExportBook::OpenExportBook(int sheetCount) {
  server_ = factory_.Attach(table_.oleObject);
  if (!server_) server_ = factory_.Start(table_.oleObject);
  if (!server_) {
    log_.Post(kMsgCritical, 1047, "MS Excel can not be started!");
    return -1;
  }
  server_->SetVisible(true);
  int count = 0;
  if (!server_->AddBook("", book_) || !server_->BookCount(count)) {
    log_.Post(kMsgCritical, 1047, "MS Excel can not be started!");
    return -1;
  }
  table_.exportBook = count;
  int sheets = 0;
  server_->SheetCount(book_, sheets);
  while (sheets < sheetCount && AddSheet() != 0) ++sheets;
  table_.exportSheetCount = sheets;
  return count;
}

int TExportBook::ExportGrid(const StringGrid& grid, int sheetNumber, const std::string& name) {
  std::string bookName;
  if (!server_ || !server_->BookName(book_, bookName)) {
    log_.Post(kMsgCritical, 1053, "Error while write in [][" + name + "]" + ExportCellText(1, 1));
    return -1;
  }
  int count = 0;
  server_->SheetCount(book_, count);
  SheetHandle sheet = 0;
  if (sheetNumber > count) {
    sheet = AddSheet();
  } else {
    server_->SheetItem(book_, sheetNumber, sheet);
  }
  if (!name.empty()) server_->RenameSheet(sheet, name);
  std::string sheetName = name;
  server_->SheetName(sheet, sheetName);
  for (int r = 0; r < grid.RowCount(); ++r) {
    for (int c = 0; c < grid.ColCount(); ++c) {
      if (!server_->SetCellValue(sheet, r + 1, c + 1, grid.Cell(c, r))) {
        log_.Post(kMsgCritical, 1053,
                  "Error while write in [" + bookName + "][" + sheetName + "]" +
                      ExportCellText(c + 1, r + 1));
        return -1;
      }
    }
  }
  return 1;
}

int TExportBook::DeleteSheetsAfter(int lastKept) {
  int count = 0;
  if (!server_ || !server_->SheetCount(book_, count)) return -1;
  int deleted = 0;
  for (int index = count; index > lastKept && index > 1; --index) {
    SheetHandle sheet = 0;
    if (server_->SheetItem(book_, index, sheet) && server_->DeleteSheet(sheet)) ++deleted;
  }
  return deleted;
}

void TExportBook::ShowApplication() {
  if (server_) server_->SetVisible(true);
}

int TExportBook::SaveExportBook(const std::string& path) {
  if (server_ && server_->SaveBookAs(book_, path)) return 1;
  const std::string why = server_ ? server_->LastErrorText() : "no workbook";
  log_.Post(kMsgCritical, 1054, "Error while save [" + path + "]: " + why);
  return -1;
}

int TExportBook::OfferSave(UserDialogs& dialogs, const std::string& fileName,
                           const std::string& folder) {
  if (!server_ || book_ == 0 || !dynamic_cast<EmbeddedServer*>(server_.get())) return 0;
  FileDialogRequest request;
  request.title = "Save Workbook";
  request.filter = "Excel Workbook (*.xlsx)|*.xlsx|OpenDocument Spreadsheet (*.ods)|*.ods|";
  request.folder = folder;
  request.fileName = fileName;
  request.defaultExt = "xlsx";
  const std::string path = dialogs.SaveFileName(request);
  if (path.empty()) return 0;
  return SaveExportBook(path);
}

}  // namespace ploxen
