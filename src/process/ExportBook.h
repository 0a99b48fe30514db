// Sending whole grids to a new workbook of the spreadsheet application (export workbooks and
// the new-process template).
#pragma once

#include <memory>
#include <string>

#include "support/StringGrid.h"
#include "workbook/SpreadsheetServer.h"

namespace ploxen {

class TAplMsgWnd;
class TTablOprtWnd;
class UserDialogs;

/// The grid export of the table operator: keeps a connection of its own to the spreadsheet
/// application and the workbook it created; `table` holds the export target's state.
class TExportBook {
 public:
  TExportBook(TAplMsgWnd& log, TTablOprtWnd& table, SpreadsheetServerFactory& factory);

  /// Takes the running application or starts one, adds a workbook with at least `sheetCount`
  /// sheets and returns its index; -1 when no application can be reached (message 1047).
  int OpenExportBook(int sheetCount);
  /// Writes every cell of `grid` to sheet `sheetNumber` (a new last sheet when the book has
  /// fewer), named `sheetName` when given; 1, or -1 after message 1053.
  int ExportGrid(const StringGrid& grid, int sheetNumber, const std::string& sheetName);

  /// Deletes every sheet after sheet `lastKept`; the number deleted, -1 without a workbook.
  int DeleteSheetsAfter(int lastKept);
  /// Makes the spreadsheet application visible to the user.
  void ShowApplication();
  /// Saves the export workbook to `path` (.xlsx or .ods, formulas kept); 1, or -1 after
  /// message 1054.
  int SaveExportBook(const std::string& path);

  /// Keeps the export workbook in a file when the program's own engine holds it (no
  /// spreadsheet window shows it to the user): asks for a name proposed as `fileName` in
  /// `folder` and saves. 1 saved; 0 not asked or cancelled; -1 not saved (message 1054), the
  /// workbook then stays open and can be saved again.
  int OfferSave(UserDialogs& dialogs, const std::string& fileName, const std::string& folder);

  SpreadsheetServer* Server() { return server_.get(); }
  BookHandle Book() const { return book_; }

 private:
  SheetHandle AddSheet();

  TAplMsgWnd& log_;
  TTablOprtWnd& table_;
  SpreadsheetServerFactory& factory_;
  std::shared_ptr<SpreadsheetServer> server_;
  BookHandle book_ = 0;
};

/// Cell text of an export failure: "[A 3]" for the first 25 columns, else "[25;3]" (0-based).
std::string ExportCellText(int column, int row);

}  // namespace ploxen
