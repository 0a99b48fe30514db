// The spreadsheet application as the workbook layer sees it: books, sheets and cells as text.
#pragma once

#include <memory>
#include <string>
#include <vector>

namespace ploxen {

class TAplMsgWnd;

/// Stable handle of an open workbook inside one server (0 = none). Unlike the 1-based
/// position in the workbook collection it survives the closing of other books.
using BookHandle = int;
/// Stable handle of a worksheet inside one server (0 = none); survives renames and inserts.
using SheetHandle = int;

/// Why a server call was refused.
enum class ServerError {
  kNone = 0,
  kNoBook,      ///< the book handle or index names no open workbook
  kNoSheet,     ///< the sheet handle or index names no worksheet
  kBadAddress,  ///< row or column outside the sheet
  kBadName,     ///< a sheet name breaks the naming rules or is taken
  kFileError,   ///< a file could not be read or written
  kRefused,     ///< the server refused the call (busy, gone, internal failure)
};

/// A rectangle of cells: its first row and column (1-based) and its size.
struct CellBlock {
  int row = 1;
  int column = 1;
  int rows = 1;
  int columns = 1;
  int Size() const { return rows * columns; }
};

/// A running spreadsheet application driven through its object model. Every call returns
/// true on success; on failure it returns false and `LastError` / `LastErrorText` say why.
/// Rows, columns, book and sheet indices are 1-based; every cell crosses as text. No call
/// throws.
class SpreadsheetServer {
 public:
  virtual ~SpreadsheetServer() = default;

  // Application.
  virtual bool Version(std::string& version) = 0;  ///< e.g. "16.0"
  virtual bool SetVisible(bool visible) = 0;
  virtual bool Quit() = 0;  ///< closes every book without saving; the server is gone after it

  // Workbooks collection.
  virtual bool BookCount(int& count) = 0;
  /// Workbook at 1-based position `index` of the collection.
  virtual bool BookItem(int index, BookHandle& book) = 0;
  /// Opens a file; the new book becomes the last of the collection. `updateLinks` refreshes
  /// references into other workbooks from their files.
  virtual bool OpenBook(const std::string& path, bool updateLinks, BookHandle& book) = 0;
  /// Adds a new empty workbook with one sheet; `name` ("Book1.xlsx" when empty) is its file name.
  virtual bool AddBook(const std::string& name, BookHandle& book) = 0;
  /// Closes a book without saving it.
  virtual bool CloseBook(BookHandle book) = 0;

  // Workbook.
  virtual bool BookName(BookHandle book, std::string& name) = 0;          ///< file name
  virtual bool BookFullName(BookHandle book, std::string& fullName) = 0;  ///< full path
  virtual bool SaveBook(BookHandle book) = 0;  ///< to its full path, in its own format
  /// Saves to `path` (format by extension) and makes it the book's full path.
  virtual bool SaveBookAs(BookHandle book, const std::string& path) = 0;
  virtual bool SheetCount(BookHandle book, int& count) = 0;
  virtual bool SheetItem(BookHandle book, int index, SheetHandle& sheet) = 0;
  /// Adds a sheet at 1-based position `position` (past the end: appended).
  virtual bool AddSheet(BookHandle book, const std::string& name, int position,
                        SheetHandle& sheet) = 0;
  /// Deletes a sheet; references to it become #REF!. The last sheet cannot be deleted.
  virtual bool DeleteSheet(SheetHandle sheet) = 0;

  // Worksheet.
  virtual bool SheetName(SheetHandle sheet, std::string& name) = 0;
  /// Renames under the naming rules: 1..31 characters, none of []:*?/\, no leading or
  /// trailing apostrophe, unique in the book (ignoring letter case).
  virtual bool RenameSheet(SheetHandle sheet, const std::string& name) = 0;
  virtual bool ActivateSheet(SheetHandle sheet) = 0;
  /// `Value` of a cell as text: numbers with 15 significant digits and ".", TRUE/FALSE,
  /// error codes such as "#DIV/0!", "" for an empty cell.
  virtual bool CellValue(SheetHandle sheet, int row, int column, std::string& text) = 0;
  /// `Text` of a cell: what the cell displays with its number format.
  virtual bool CellText(SheetHandle sheet, int row, int column, std::string& text) = 0;
  /// Puts a text into a cell; the server interprets it ("=..." formula, number, TRUE, text).
  virtual bool SetCellValue(SheetHandle sheet, int row, int column, const std::string& text) = 0;
  /// The last used cell (row of the last used row, column of the last used column);
  /// (1, 1) for an empty sheet.
  virtual bool LastCell(SheetHandle sheet, int& row, int& column) = 0;
  /// Inserts a whole row above `row`, shifting the rows below down.
  virtual bool InsertRow(SheetHandle sheet, int row) = 0;

  // Blocks of cells, row by row. The defaults go cell by cell; a server whose calls are
  // expensive answers a whole block at once. On failure nothing says which cell failed.
  /// `Value` of every cell of `block` as CellValue gives it.
  virtual bool RangeValues(SheetHandle sheet, const CellBlock& block,
                           std::vector<std::string>& texts);
  /// `Text` of every cell of `block` as CellText gives it.
  virtual bool RangeTexts(SheetHandle sheet, const CellBlock& block,
                          std::vector<std::string>& texts);
  /// Puts `texts` (block.Size() of them) into `block`, each read as SetCellValue reads it:
  /// "=..." a formula, a number, TRUE/FALSE, "'" followed by text, anything else text as it
  /// stands. With `skipEmpty` an empty text leaves its cell as it is; otherwise it empties it.
  virtual bool SetRangeValues(SheetHandle sheet, const CellBlock& block,
                              const std::vector<std::string>& texts, bool skipEmpty = false);

  virtual ServerError LastError() const = 0;
  virtual std::string LastErrorText() const = 0;
};

/// Finds or starts spreadsheet servers for an automation class name (`ProgId`).
class SpreadsheetServerFactory {
 public:
  virtual ~SpreadsheetServerFactory() = default;
  /// The running server of `progId`, or null when none runs.
  virtual std::shared_ptr<SpreadsheetServer> Attach(const std::string& progId) = 0;
  /// Starts a new server of `progId`, or null when it cannot be started.
  virtual std::shared_ptr<SpreadsheetServer> Start(const std::string& progId) = 0;
};

/// True when `progId` selects the embedded engine: empty or "Excel.Application" (any case).
bool IsEmbeddedProgId(const std::string& progId);
/// True when `progId` selects LibreOffice: "LibreOffice" or "com.sun.star.ServiceManager"
/// (any case).
bool IsLibreOfficeProgId(const std::string& progId);

}  // namespace ploxen
