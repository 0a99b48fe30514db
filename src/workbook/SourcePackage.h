// What a book opened from a file keeps of that file, so that saving it back rewrites only the
// cells and sheets that changed and carries every other part of the package over unchanged.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "workbook/EngineModel.h"

namespace ploxen {

/// A worksheet as the file held it.
struct SourceSheet {
  int position = 0;  ///< 0-based position in the file's sheet list
  std::string name;  ///< name in the file
  std::unordered_map<std::uint64_t, std::uint64_t> cells;  ///< CellKey -> CellDigest as read
  std::vector<int> insertedRows;  ///< 0-based rows inserted since, in the order of insertion
};

/// The file a book was read from: its bytes and a digest of every cell as read.
struct SourcePackage {
  BookFormat format = BookFormat::kXlsx;
  std::string bytes;
  std::map<SheetId, SourceSheet> sheets;  ///< the file's sheets that are still in the book
  int fileSheetCount = 0;                 ///< sheets of the file
};

/// A digest of what a save writes for a cell: value, formula and format. 0 for a cell that
/// writes nothing (empty, default format).
std::uint64_t CellDigest(const Cell& cell);

/// Captures `book` right after it was read from `bytes` (before any formula was evaluated).
std::shared_ptr<SourcePackage> CaptureSource(const Book& book, std::string bytes);

/// Where the rows of a sheet went since the file was read, after rows were inserted.
class RowMap {
 public:
  explicit RowMap(const std::vector<int>& insertedRows);
  /// The current row of file row `fileRow`.
  int ToCurrent(int fileRow) const;
  /// The file row now at `row`; -1 for an inserted row.
  int ToFile(int row) const;
  bool Moved() const { return !inserted_.empty(); }
  /// Current rows that were inserted, ascending.
  const std::vector<int>& Inserted() const { return inserted_; }

 private:
  std::vector<int> inserted_;
};

/// Current positions (CellKey, ascending) of the cells whose content differs from the file:
/// changed, new and emptied cells. Empty when the sheet writes what the file holds.
std::vector<std::uint64_t> ChangedCells(const Sheet& sheet, const SourceSheet& source);

}  // namespace ploxen
