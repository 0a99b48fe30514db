// The workbook interface: the one object through which the program reads and writes workbooks.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "support/StringGrid.h"
#include "workbook/SpreadsheetServer.h"

namespace ploxen {

class TAplMsgWnd;

/// A combo box of the interface window: its entries and the selected one (-1 none).
struct ComboList {
  std::vector<std::string> items;
  int itemIndex = -1;
  void Clear() {
    items.clear();
    itemIndex = -1;
  }
};

/// The workbook interface ("MS Excel Interface"). Holds the connection to the spreadsheet
/// server, the current book and sheet, and offers row-, column- and cell-level operations
/// whose failures become numbered messages and return codes. Rows, columns, books and
/// sheets are 1-based. Talks to the spreadsheet only through SpreadsheetServer.
class TXlsWnd {
 public:
  /// `factory` finds or starts servers; `readCellMessage` is the number ReadCell posts
  /// (798; the visualisation's own instance uses 816).
  TXlsWnd(TAplMsgWnd& log, SpreadsheetServerFactory& factory, int readCellMessage = 798);
  ~TXlsWnd();

  // State.
  std::string ProgId = "Excel.Application";  ///< automation class name of the server
  bool StartIfMissing = true;                ///< Connect starts a server when none runs
  bool StopAtEot = true;                     ///< sequential reads stop at a cell reading "EOT"
  bool StopAtEmpty = false;   ///< set by each sequential read: stop at the first empty cell
  bool DecimalComma = false;  ///< the locale writes 2.1 as "2,1"
  const std::string EotMarker = "EOT";
  bool Attached() const { return attached_; }
  bool Connected() const { return connected_; }
  bool HasServer() const { return server_ != nullptr; }
  const std::string& BookName() const { return bookName_; }  ///< current book's file name
  const std::string& BookFullName() const { return bookFullName_; }
  int BookIndex() const { return bookIndex_; }
  int BookCount() const { return bookCount_; }
  int SheetCount() const { return sheetCount_; }
  int LastRowValue() const { return lastRow_; }
  int LastColumnValue() const { return lastColumn_; }
  /// The server this interface talks to (null before a connection); export code that
  /// builds new workbooks uses it for sheets and saving.
  SpreadsheetServer* Server() { return server_.get(); }
  BookHandle CurrentBook() const { return book_; }
  SheetHandle CurrentSheet() const { return sheet_; }

  /// Called with 1 after ListBooks, with 2 after ListSheets (installed by the main window).
  std::function<void(int)> bookNotification;
  /// Hourglass cursor on (true) and reset (false).
  std::function<void(bool)> onBusy;

  // Connection and books.
  bool AttachExcel();
  bool StartExcel();
  int Connect();
  /// Leaves the current server (its books stay where they are) and attaches to the one of
  /// `progId`, which then lists its books; 1 attached, 0 none of that kind runs.
  int SwitchServer(const std::string& progId);
  bool ShowExcel(int sheet);
  int ListBooks(int notify);
  int ListSheets(int book);
  int SelectBook(int book);
  int FindBook(const std::string& path);
  int IsCurrentBook(const std::string& path);
  int OpenBook(const std::string& path);
  int LoadBook(const std::string& path);
  int SaveBook(const std::string& name);
  int QuitExcel(const std::string& name);
  /// Closes an open book without saving it: 1; 0 when no book has this name; -1 refused.
  int CloseBook(const std::string& name);
  /// Full paths of the books LoadBook opened, oldest first (closed ones included).
  const std::vector<std::string>& BooksOpenedHere() const { return openedHere_; }
  std::string BookPath(const std::string& name);

  // Sheets and addresses.
  int FindSheet(const std::string& name);
  std::string SheetName(int index);
  bool SelectSheet(int index);
  int LastRow(int sheet);
  int LastColumn(int sheet);
  static std::string ColumnLetters(int n);
  std::string CellRef(int row, int column);

  // Sequential reads.
  int ReadRow(int sheet, int row, std::vector<std::string>& list, int lastColumn = 0,
              int firstColumn = 1);
  int ReadRowText(int sheet, int row, std::vector<std::string>& list, int lastColumn = 0,
                  int firstColumn = 1);
  int ReadColumn(int sheet, int column, std::vector<std::string>& list, int lastRow = 0,
                 int firstRow = 1);
  int ReadColumnText(int sheet, int column, std::vector<std::string>& strings, int lastRow = 0,
                     int firstRow = 1);
  int ReadColumnToGrid(int sheet, int column, int rowOffset, int gridColumn, StringGrid& grid,
                       int lastRow = 0, int firstRow = 1);
  int FindInColumn(int sheet, int column, const std::string& text, int lastRow = 0,
                   int firstRow = 1);

  // Cell and range writes.
  int WriteColumn(int sheet, const std::vector<std::string>& list, int firstRow, int column);
  int WriteRow(int sheet, const std::vector<std::string>& list, int firstColumn, int row);
  int WriteRowFilled(int sheet, const std::vector<std::string>& list, int firstColumn, int row);
  int ClearColumn(int sheet, int column, int lastRow, int firstRow);
  int WriteGridColumn(const StringGrid& grid, int sheet, int column, int gridColumn);
  int WriteCell(int sheet, int row, const std::string& text, int column);
  int InsertRow(int sheet, int row);

  // Single reads and grids.
  std::string ReadCell(int sheet, int row, int column);
  /// The trimmed values of `rows` by `columns` cells from (top, left), row by row, in one
  /// server call where the block is not too large. False, without a message, on any failure.
  bool ReadBlock(int sheet, int top, int left, int rows, int columns,
                 std::vector<std::string>& cells);
  int ReadSheetToGrid(int sheet, StringGrid& grid, int rowOffset, int columnOffset);
  static void ClearGrid(int column, int row, StringGrid& grid);

  // The interface window.
  const std::string Caption = "MS Excel Interface";
  ComboList CbxBook;
  ComboList CbxSheet;
  StringGrid SGX{2, 2};
  std::string StatusPanel[2];
  void UpdateWorkBooksClick();   ///< "Update Work Books"
  void UpdateWorkSheetsClick();  ///< "Update Work Sheets" and a change of CbxBook
  /// "Open": `path` is the file the dialog returned (empty: cancelled).
  void OpenClick(const std::string& path);
  static constexpr const char* kOpenFilter = "MS Excel Books|*.xls;*.xlsx";
  void ReadClick();  ///< "Read": the used range of the selected sheet into SGX
  void SelectGridCell(int column, int row);

  /// True when the user's locale writes decimal numbers with ",".
  static bool LocaleUsesDecimalComma();

 private:
  enum class ReadKind { kValue, kText };
  int ReadLine(int sheet, int fixed, bool alongRow, std::vector<std::string>& list, int last,
               int first, ReadKind kind, int number, int missingSheet);
  /// Visits cells first..last of row or column `fixed` of the current sheet, read a block at
  /// a time; `visit(index, text)` returns false to stop. A block the server refuses is read
  /// again cell by cell (Value falling back to Text with `textFallback`), so a failure names
  /// its cell. Returns the index of the cell that could not be read, 0 otherwise.
  int WalkCells(int fixed, bool alongRow, int first, int last, ReadKind kind, bool textFallback,
                const std::function<bool(int, const std::string&)>& visit);
  /// Reads one cell; `textFallback` tries Text when Value is refused.
  bool ReadOne(int row, int column, ReadKind kind, bool textFallback, std::string& text);
  bool CountBooks(int& count);
  bool MakeCurrentBook(int index);
  int PutCells(int sheet, const std::vector<std::string>& list, int first, int fixed, bool alongRow,
               bool skipEmpty, int level, int number,
               const char* prefix = "Error while write: ");
  void Busy(bool on) {
    if (onBusy) onBusy(on);
  }
  void Notify(int what) {
    if (bookNotification) bookNotification(what);
  }

  TAplMsgWnd& log_;
  SpreadsheetServerFactory& factory_;
  int readCellMessage_;
  std::shared_ptr<SpreadsheetServer> server_;
  bool attached_ = false;
  bool connected_ = false;
  BookHandle book_ = 0;
  std::string bookName_;
  std::string bookFullName_;
  int bookIndex_ = 0;
  int bookCount_ = 0;
  int sheetCount_ = 0;
  SheetHandle sheet_ = 0;
  int lastRow_ = 0;
  int lastColumn_ = 0;
  std::vector<std::string> openedHere_;
};

}  // namespace ploxen
