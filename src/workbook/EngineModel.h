// The embedded workbook engine's model: every open workbook, its sheets and sparse cells,
// formulas with their parsed trees, formats and layout data, and the operations that keep
// formula results current.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "workbook/CellAddress.h"
#include "workbook/CellFormat.h"
#include "workbook/CellValue.h"
#include "workbook/FormulaTree.h"
#include "workbook/ImportedBook.h"

namespace ploxen {

struct SourcePackage;

using BookId = int;   ///< stable id of an open workbook in one engine (never reused, 0 = none)
using SheetId = int;  ///< stable id of a worksheet in one engine (never reused, 0 = none)

/// Dialects of formula text.
/// kA1: the xlsx form "SUM(A1:B2,'gas.1'!C5)", with or without a leading "=".
/// kOds: the OpenDocument form "of:=SUM([.A1:.B2];[$'gas.1'.C5])" ("of:" and "=" optional).
enum class FormulaSyntax : std::uint8_t { kA1, kOds };

/// A formula of a cell: its text as given, its tree, and evaluation state.
struct Formula {
  enum class State : std::uint8_t { kPending, kParsed, kUnparsable };
  std::string text;                   ///< text as given (without "=" / "of:=")
  FormulaSyntax syntax = FormulaSyntax::kA1;
  std::unique_ptr<FormulaNode> tree;  ///< null while pending or when unparsable
  State state = State::kPending;
  int shiftRows = 0;  ///< pending text was written for a cell this many rows above
  int shiftCols = 0;  ///< ... and this many columns left (shared formulas)
  bool evaluable = false;    ///< false: unknown function, the cached value stays
  bool textCurrent = true;   ///< `text` still says what `tree` says
  bool isVolatile = false;   ///< calls NOW/TODAY
  bool dirty = true;         ///< value must be recomputed
  std::uint32_t edits = 0;   ///< renames, deletions and insertions that changed its references
};

/// One cell. An empty value with a format index other than 0 is a formatted empty cell.
struct Cell {
  CellValue value;                   ///< constant, or the current (cached) formula result
  std::unique_ptr<Formula> formula;  ///< null for a constant
  int format = 0;                    ///< index into Book::formats
};

/// A worksheet: sparse cells in row-major order plus layout data.
class Sheet {
 public:
  using CellMap = std::map<std::uint64_t, Cell>;  ///< key = CellKey(row, col), 0-based

  SheetId Id() const { return id_; }
  BookId OwnerBook() const { return book_; }
  const std::string& Name() const { return name_; }

  /// All stored cells, ordered by row then column; KeyRow/KeyCol give their position.
  const CellMap& Cells() const { return cells_; }
  /// The cell at a 0-based position, or null when nothing is stored there.
  const Cell* Find(int row, int col) const;
  /// Last row and last column holding a value or formula (0-based); {-1,-1} when none.
  CellAddr LastUsed() const;

  /// Layout data, read and written freely by readers, writers and callers.
  std::map<int, double> columnWidths;  ///< 0-based column -> width [characters]
  std::map<int, double> rowHeights;    ///< 0-based row -> height [pt]
  std::vector<MergedRange> merges;     ///< 0-based, inclusive

 private:
  friend class WorkbookEngine;
  SheetId id_ = 0;
  BookId book_ = 0;
  std::string name_;
  CellMap cells_;
  std::map<std::uint64_t, Cell*> byColumn_;  ///< every cell, key CellKey(col, row)
  std::map<std::uint64_t, Cell*> formulas_;  ///< formula cells, key CellKey(col, row)
};

/// An open workbook.
class Book {
 public:
  BookId Id() const { return id_; }
  const std::string& Name() const { return name_; }          ///< file name "B.xlsx"
  const std::string& FullName() const { return fullName_; }  ///< full path
  BookFormat Format() const { return format_; }

  int SheetCount() const { return static_cast<int>(sheets_.size()); }
  /// Sheet at 0-based position `index` (must be in range).
  Sheet& SheetAt(int index) { return *sheets_[index]; }
  const Sheet& SheetAt(int index) const { return *sheets_[index]; }
  /// 0-based position of a sheet by name, ignoring ASCII letter case; -1 when none.
  int FindSheet(std::string_view name) const;

  /// Cell formats; index 0 is the default. `AddFormat` returns the index of an equal entry
  /// when there is one.
  std::vector<CellFormat> formats{CellFormat{}};
  int AddFormat(const CellFormat& format);

  /// Other workbooks this book's formulas reference: "[n]" in file formulas is entry n-1.
  /// A reference "[Other.xlsx]S!A1" reads the open book named Other.xlsx, else this cache.
  /// Fill before formulas are set; entries are also appended when a formula names a new book.
  std::vector<ExternalBook> externalLinks;

  /// Parts of the file this model does not keep (charts, images, ...), named for the user.
  std::vector<std::string> unsupportedParts;
  /// The file the book was opened from, kept so that a save rewrites only what changed;
  /// null for a new book.
  std::shared_ptr<SourcePackage> source;
  int activeSheet = 0;    ///< 0-based
  bool modified = false;  ///< a cell or the structure changed since open or save

 private:
  friend class WorkbookEngine;
  BookId id_ = 0;
  std::string name_;
  std::string fullName_;
  BookFormat format_ = BookFormat::kXlsx;
  std::vector<std::unique_ptr<Sheet>> sheets_;
};

/// Why a sheet name was refused.
enum class SheetNameStatus {
  kOk,
  kEmpty,
  kTooLong,       ///< more than 31 characters
  kBadCharacter,  ///< one of [ ] : * ? / backslash
  kQuoteAtEdge,   ///< starts or ends with an apostrophe
  kDuplicate,     ///< another sheet of the book has it (ignoring letter case)
};

/// Whether `name` has the shape of a sheet name (every rule but uniqueness).
SheetNameStatus SheetNameShape(std::string_view name);
/// Why a sheet name of this status is refused, as a user reads it; empty for kOk.
const char* SheetNameProblem(SheetNameStatus status);

/// All open workbooks with their formulas kept current. Reading a value evaluates whatever
/// it depends on that changed; nothing throws. Rows and columns are 0-based here.
class WorkbookEngine {
 public:
  WorkbookEngine();
  ~WorkbookEngine();
  WorkbookEngine(const WorkbookEngine&) = delete;
  WorkbookEngine& operator=(const WorkbookEngine&) = delete;

  // Books.
  /// Adds an empty book (no sheets) with a file name, full path and format.
  Book& AddBook(const std::string& name, const std::string& fullName, BookFormat format);
  /// Adds a new book as a spreadsheet does: one sheet "Sheet1"; format .ods when `name` ends
  /// in ".ods", else .xlsx.
  Book& NewBook(const std::string& name, const std::string& fullName);
  /// Moves a file's content into a new book (sheets, cells, formulas with cached values,
  /// formats, layout, external links). Formulas that cannot be parsed keep text and cache.
  Book& LoadImported(ImportedBook&& imported, const std::string& name,
                     const std::string& fullName);
  bool CloseBook(BookId book);
  int BookCount() const { return static_cast<int>(books_.size()); }
  Book& BookAt(int index) { return *books_[index]; }  ///< 0-based, in opening order
  Book* FindBook(BookId id);
  /// Open book by file name (ignoring ASCII case), or null.
  Book* FindBookByName(std::string_view name);
  /// Changes file name, path and format (after a "save as").
  void SetBookPath(BookId book, const std::string& name, const std::string& fullName,
                   BookFormat format);

  // Sheets.
  Sheet* FindSheet(SheetId id);
  const Sheet* FindSheet(SheetId id) const;
  /// Whether `name` may name a new sheet of `book` (or rename `except` to it).
  SheetNameStatus CheckSheetName(const Book& book, std::string_view name,
                                 SheetId except = 0) const;
  /// Adds a sheet at 0-based `position` (past the end: appended); null when the name is refused
  /// (`status` says why).
  Sheet* AddSheet(BookId book, const std::string& name, int position = -1,
                  SheetNameStatus* status = nullptr);
  SheetNameStatus RenameSheet(SheetId sheet, const std::string& name);
  /// Deletes a sheet; formulas referencing it get #REF!. The last sheet of a book stays.
  bool DeleteSheet(SheetId sheet);
  /// Inserts an empty row above 0-based `row`: cells, formats, heights and merges below move
  /// down, and references in every open book's formulas shift as a spreadsheet shifts them.
  bool InsertRow(SheetId sheet, int row);

  // Cells: as an importer sets them.
  void SetNumber(SheetId sheet, int row, int col, double value);
  void SetText(SheetId sheet, int row, int col, const std::string& value);
  void SetBoolean(SheetId sheet, int row, int col, bool value);
  void SetError(SheetId sheet, int row, int col, ErrorCode code);
  /// Sets a formula; `text` with or without "=". The cell's current value is kept as the
  /// cached result until the formula is evaluated. `shiftRows`/`shiftCols`: the text was
  /// written for the cell that many rows/columns before this one (a shared formula's master),
  /// so its relative references move by that much.
  void SetFormula(SheetId sheet, int row, int col, const std::string& text,
                  FormulaSyntax syntax = FormulaSyntax::kA1, int shiftRows = 0,
                  int shiftCols = 0);
  /// The result a file cached for a formula cell (kept when the formula cannot be evaluated).
  void SetCachedValue(SheetId sheet, int row, int col, const CellValue& value);
  void SetFormat(SheetId sheet, int row, int col, int format);
  /// Empties a cell's value and formula; its format stays.
  void ClearCell(SheetId sheet, int row, int col);

  // Cells: as a user writes them.
  /// Interprets a text as a spreadsheet does: "=..." a formula, a number ("." decimal), TRUE/
  /// FALSE, an error code, a leading "'" forces text, "" empties; anything else is text.
  void SetInput(SheetId sheet, int row, int col, const std::string& text);

  // Reading.
  /// Current value, evaluating what changed. Empty for a missing sheet or cell.
  CellValue Value(SheetId sheet, int row, int col);
  /// ValueText of the current value.
  std::string ValueString(SheetId sheet, int row, int col);
  /// Formula text with "=" ("of:=" for kOds) for saving: the original text when it still
  /// holds and is in that syntax, else regenerated from the tree; the original text when the
  /// formula could not be parsed. Empty for a cell without formula.
  std::string FormulaText(SheetId sheet, int row, int col,
                          FormulaSyntax syntax = FormulaSyntax::kA1);
  /// True when the cell has a formula that the engine can evaluate.
  bool IsEvaluable(SheetId sheet, int row, int col);
  /// Evaluates every dirty formula of every book (before a save).
  void RecalculateAll();
  /// Rebuilds the dependency graph and evaluates every formula of every book afresh.
  void FullRecalculation();
  /// Marks NOW/TODAY and their dependents dirty (also done on every write).
  void TouchVolatile();

  /// Clock for NOW/TODAY (serial date/time in days since 1899-12-30, local time).
  void SetClock(std::function<double()> clock);

 private:
  struct Impl;
  void SetConstant(SheetId sheet, int row, int col, CellValue value);
  std::vector<std::unique_ptr<Book>> books_;
  std::unique_ptr<Impl> impl_;
};

}  // namespace ploxen
