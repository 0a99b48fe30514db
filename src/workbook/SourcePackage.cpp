// Cell digests of a book as read, and the comparison that finds what a save must rewrite.
#include "workbook/SourcePackage.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "workbook/CellAddress.h"

namespace ploxen {

namespace {

/// 64-bit FNV-1a, fed piece by piece.
class Fnv {
 public:
  void Add(const void* data, std::size_t size) {
    const auto* p = static_cast<const unsigned char*>(data);
    for (std::size_t i = 0; i < size; ++i) hash_ = (hash_ ^ p[i]) * 1099511628211ull;
  }
  template <class T>
  void AddValue(T v) {
    Add(&v, sizeof v);
  }
  void AddText(const std::string& s) {
    AddValue(s.size());
    Add(s.data(), s.size());
  }
  std::uint64_t Value() const { return hash_ == 0 ? 1 : hash_; }

 private:
  std::uint64_t hash_ = 14695981039346656037ull;
};

}  // namespace

std::uint64_t CellDigest(const Cell& cell) {
  const CellValue& v = cell.value;
  if (!cell.formula && v.kind == ValueKind::kEmpty && cell.format == 0) return 0;
  Fnv h;
  h.AddValue(static_cast<int>(v.kind));
  h.AddValue(static_cast<int>(v.error));
  h.AddValue(std::bit_cast<std::uint64_t>(v.number));
  h.AddText(v.text);
  h.AddValue(cell.format);
  if (const Formula* f = cell.formula.get()) {
    h.AddText(f->text);
    h.AddValue(static_cast<int>(f->syntax));
    h.AddValue(f->shiftRows);
    h.AddValue(f->shiftCols);
    h.AddValue(f->edits);
  }
  return h.Value();
}

std::shared_ptr<SourcePackage> CaptureSource(const Book& book, std::string bytes) {
  auto source = std::make_shared<SourcePackage>();
  source->format = book.Format();
  source->bytes = std::move(bytes);
  source->fileSheetCount = book.SheetCount();
  for (int i = 0; i < book.SheetCount(); ++i) {
    const Sheet& sheet = book.SheetAt(i);
    SourceSheet& s = source->sheets[sheet.Id()];
    s.position = i;
    s.name = sheet.Name();
    s.cells.reserve(sheet.Cells().size());
    for (const auto& [key, cell] : sheet.Cells())
      if (std::uint64_t d = CellDigest(cell)) s.cells.emplace(key, d);
  }
  return source;
}

RowMap::RowMap(const std::vector<int>& insertedRows) {
  for (int row : insertedRows) {
    for (int& r : inserted_)
      if (r >= row) ++r;
    inserted_.push_back(row);
  }
  std::sort(inserted_.begin(), inserted_.end());
}

int RowMap::ToCurrent(int fileRow) const {
  int row = fileRow;
  for (int r : inserted_) {
    if (r > row) break;
    ++row;
  }
  return row;
}

int RowMap::ToFile(int row) const {
  auto it = std::lower_bound(inserted_.begin(), inserted_.end(), row);
  if (it != inserted_.end() && *it == row) return -1;
  return row - static_cast<int>(it - inserted_.begin());
}

std::vector<std::uint64_t> ChangedCells(const Sheet& sheet, const SourceSheet& source) {
  RowMap rows(source.insertedRows);
  std::vector<std::uint64_t> changed;
  std::size_t matched = 0;
  for (const auto& [key, cell] : sheet.Cells()) {
    std::uint64_t digest = CellDigest(cell);
    int fileRow = rows.ToFile(KeyRow(key));
    auto it = fileRow < 0 ? source.cells.end() : source.cells.find(CellKey(fileRow, KeyCol(key)));
    if (it != source.cells.end()) ++matched;
    if (it == source.cells.end() ? digest != 0 : it->second != digest) changed.push_back(key);
  }
  if (matched < source.cells.size()) {
    // Cells of the file that are gone (emptied through a write, or pushed off the sheet).
    for (const auto& [fileKey, digest] : source.cells) {
      int row = rows.ToCurrent(KeyRow(fileKey));
      std::uint64_t key = CellKey(row, KeyCol(fileKey));
      if (row < kMaxRows && !sheet.Cells().count(key)) changed.push_back(key);
    }
    std::sort(changed.begin(), changed.end());
  }
  return changed;
}

}  // namespace ploxen
