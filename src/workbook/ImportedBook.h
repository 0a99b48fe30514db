// Plain data of a workbook file as read from disk, before it enters the engine's model.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "workbook/CellFormat.h"

namespace ploxen {

/// File formats the engine reads and writes.
enum class BookFormat { kXlsx, kOds };

/// One cell as stored in the file. Rows and columns are 0-based.
struct ImportedCell {
  enum class Kind : std::uint8_t { kEmpty, kNumber, kString, kBool, kFormula };
  /// What the file cached as the result of a formula.
  enum class Cached : std::uint8_t { kNone, kNumber, kString, kBool };
  int row = 0;
  int column = 0;
  Kind kind = Kind::kEmpty;
  Cached cached = Cached::kNone;
  double number = 0.0;  ///< value of a number/bool cell, or the cached number of a formula
  std::string text;     ///< string value, or the cached string of a formula
  std::string formula;  ///< formula text as the file has it: A1 syntax without "=" for .xlsx,
                        ///< OpenFormula ("of:=[.B2]*2") for .ods
  int style = 0;        ///< index into ImportedBook::formats
};

/// A merged range, 0-based and inclusive.
struct MergedRange {
  int firstRow = 0;
  int firstColumn = 0;
  int lastRow = 0;
  int lastColumn = 0;
};

/// One worksheet of the file.
struct ImportedSheet {
  std::string name;
  std::vector<ImportedCell> cells;     ///< in file order
  std::map<int, double> columnWidths;  ///< column -> width [characters of the default font]
  std::map<int, double> rowHeights;    ///< row -> height [pt]
  std::vector<MergedRange> merges;
};

/// A cached cell of a sheet of another workbook, kept by an external-link part.
struct ExternalCachedCell {
  bool isNumber = true;
  double number = 0.0;
  std::string text;
};

/// Another workbook referenced by formulas, with the values the file cached for it.
struct ExternalBook {
  std::string fileName;  ///< file name as formulas show it ("Other.xlsx")
  std::string target;    ///< path as the link stores it (relative or absolute)
  /// sheet name -> ((row, column) 0-based -> cached value)
  std::map<std::string, std::map<std::pair<int, int>, ExternalCachedCell>> sheets;
};

/// A whole workbook file.
struct ImportedBook {
  BookFormat format = BookFormat::kXlsx;
  std::vector<ImportedSheet> sheets;
  std::vector<CellFormat> formats;  ///< cell formats; index 0 is the default
  std::vector<ExternalBook> externalBooks;
  /// Parts of the file the engine keeps no model of (charts, images, comments, ...),
  /// named for the user.
  std::vector<std::string> unsupportedParts;
};

}  // namespace ploxen
