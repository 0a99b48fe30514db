// The cell data of one .xlsx worksheet written from the engine into the worksheet part of
// the file, with every element around it kept.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "workbook/EngineModel.h"
#include "workbook/SourcePackage.h"

namespace ploxen {

/// The shared string table of a package: the file's entries, kept as they are, and the
/// entries a save adds.
class SharedStrings {
 public:
  /// Reads the entries of a sharedStrings part (`xml` may be empty: no table yet).
  explicit SharedStrings(std::string xml);
  /// Index of an entry with exactly this text, appended when there is none.
  int Index(const std::string& text);
  bool Grew() const { return !added_.empty(); }
  /// The part with the added entries (a new part when the file had none).
  std::string Xml() const;

 private:
  std::string xml_;
  std::unordered_map<std::string, int> index_;
  std::vector<std::string> added_;
  int count_ = 0;
};

/// What the cell writer needs besides the sheet: the book's shared strings and the file names
/// of linked books, which formulas in the file number as "[1]", "[2]", ...
struct SheetWriteContext {
  WorkbookEngine& engine;
  Book& book;
  SharedStrings& strings;
};

/// The worksheet part `xml` with new cell data for `sheet`; rows keep their attributes, cells
/// their style, new cells take the style of their row or column. When rows were inserted,
/// merged ranges, hyperlinks, rule and validation ranges, filters and selections move with
/// them. False with a reason when the part has no cell data to replace.
bool PatchSheetXml(std::string_view xml, SheetWriteContext& ctx, const Sheet& sheet,
                   const SourceSheet& source, std::string& out, std::string& error);

/// A complete worksheet part for a sheet that the file did not have.
std::string NewSheetXml(SheetWriteContext& ctx, const Sheet& sheet);

}  // namespace ploxen
