// Import factory, shared strings and address resolver of the orcus import.
#include "workbook/OrcusFactory.h"

#include <stdexcept>

#include "workbook/CellAddress.h"
#include "workbook/OrcusSheet.h"

namespace ploxen {

namespace ss = orcus::spreadsheet;

size_t OrcusStrings::append(std::string_view s) {
  strings_.emplace_back(s);
  return strings_.size() - 1;
}

size_t OrcusStrings::add(std::string_view s) {
  auto it = index_.find(std::string(s));
  if (it != index_.end()) return it->second;
  size_t i = append(s);
  index_.emplace(strings_.back(), i);
  return i;
}

size_t OrcusStrings::commit_segments() {
  size_t i = append(segments_);
  segments_.clear();
  return i;
}

const std::string& OrcusStrings::At(size_t index) const {
  static const std::string kNone;
  return index < strings_.size() ? strings_[index] : kNone;
}

ss::src_address_t OrcusResolver::resolve_address(std::string_view address) {
  // Named ranges, validations and rules give "$System.$B$2" (ods) or "System!B2" (xlsx). The
  // engine keeps none of them in its model (they stay in the file's package), so an address
  // it cannot read is taken as A1 rather than refusing the whole book.
  std::size_t sheetEnd = address.find_last_of(".!");
  if (sheetEnd != std::string_view::npos && address.find('\'', sheetEnd) == std::string_view::npos)
    address.remove_prefix(sheetEnd + 1);
  CellAddr a;
  if (!ParseA1(address, a)) a = CellAddr{};
  ss::src_address_t out;
  out.sheet = 0;
  out.row = a.row;
  out.column = a.col;
  return out;
}

ss::src_range_t OrcusResolver::resolve_range(std::string_view range) {
  ss::src_range_t out;
  auto colon = range.find(':');
  out.first = resolve_address(range.substr(0, colon));
  out.last = colon == std::string_view::npos ? out.first : resolve_address(range.substr(colon + 1));
  return out;
}

OrcusFactory::OrcusFactory(ImportedBook& book, std::size_t maxCells)
    : book_(book), maxCells_(maxCells), styles_(book.format == BookFormat::kXlsx) {
  if (book.format == BookFormat::kOds)
    settings_.set_default_formula_grammar(ss::formula_grammar_t::ods);
}

OrcusFactory::~OrcusFactory() = default;

void OrcusFactory::CountCell() {
  if (++cellCount_ > maxCells_) throw ImportTooLarge{};
}

ss::iface::import_sheet* OrcusFactory::append_sheet(ss::sheet_t, std::string_view name) {
  sheets_.push_back(std::make_unique<OrcusSheet>(*this, strings_, std::string(name)));
  return sheets_.back().get();
}

ss::iface::import_sheet* OrcusFactory::get_sheet(std::string_view name) {
  for (auto& sheet : sheets_)
    if (sheet->Data().name == name) return sheet.get();
  return nullptr;
}

ss::iface::import_sheet* OrcusFactory::get_sheet(ss::sheet_t index) {
  if (index < 0 || static_cast<size_t>(index) >= sheets_.size()) return nullptr;
  return sheets_[index].get();
}

void OrcusFactory::AddText(std::size_t sheet, int row, int column, std::string text) {
  if (sheet >= sheets_.size()) return;
  ImportedCell& cell = sheets_[sheet]->At(row, column);
  cell.kind = ImportedCell::Kind::kString;
  cell.text = std::move(text);
}

void OrcusFactory::Finish() {
  book_.sheets.resize(sheets_.size());
  for (size_t i = 0; i < sheets_.size(); ++i) sheets_[i]->Finish(book_.sheets[i]);
  book_.formats = styles_.Formats();
  for (ImportedSheet& sheet : book_.sheets)
    for (ImportedCell& cell : sheet.cells)
      if (cell.style < 0 || static_cast<size_t>(cell.style) >= book_.formats.size()) cell.style = 0;
}

}  // namespace ploxen
