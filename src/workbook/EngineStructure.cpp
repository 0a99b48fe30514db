// Structural edits of the workbook engine: sheets (naming rules, add, rename, delete) and
// row insertion, with every formula's references kept pointing at the same cells.
#include <algorithm>

#include "workbook/EngineImpl.h"

namespace ploxen {

namespace {

std::string LowerAscii(std::string_view s) {
  std::string l(s);
  for (char& c : l)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return l;
}

long Utf8Length(std::string_view s) {
  long n = 0;
  for (unsigned char c : s)
    if ((c & 0xC0) != 0x80) ++n;
  return n;
}

// Visits every reference node of a tree (iteratively: trees may be long operator chains).
template <class Fn>
void ForEachReference(FormulaNode& root, Fn fn) {
  std::vector<FormulaNode*> stack{&root};
  while (!stack.empty()) {
    FormulaNode* n = stack.back();
    stack.pop_back();
    for (auto& a : n->args) stack.push_back(a.get());
    if (n->kind == NodeKind::kRef || n->kind == NodeKind::kRange) fn(*n);
  }
}

void MakeRefError(FormulaNode& n) {
  n = FormulaNode{};
  n.kind = NodeKind::kError;
  n.error = ErrorCode::kRef;
}

}  // namespace

SheetNameStatus SheetNameShape(std::string_view name) {
  if (name.empty()) return SheetNameStatus::kEmpty;
  if (Utf8Length(name) > 31) return SheetNameStatus::kTooLong;
  if (name.find_first_of("[]:*?/\\") != std::string_view::npos)
    return SheetNameStatus::kBadCharacter;
  if (name.front() == '\'' || name.back() == '\'') return SheetNameStatus::kQuoteAtEdge;
  return SheetNameStatus::kOk;
}

const char* SheetNameProblem(SheetNameStatus status) {
  switch (status) {
    case SheetNameStatus::kEmpty:
      return "a sheet name cannot be empty";
    case SheetNameStatus::kTooLong:
      return "a sheet name has at most 31 characters";
    case SheetNameStatus::kBadCharacter:
      return "a sheet name cannot hold [ ] : * ? / \\";
    case SheetNameStatus::kQuoteAtEdge:
      return "a sheet name cannot start or end with '";
    case SheetNameStatus::kDuplicate:
      return "another sheet has this name";
    default:
      return "";
  }
}

SheetNameStatus WorkbookEngine::CheckSheetName(const Book& book, std::string_view name,
                                               SheetId except) const {
  if (SheetNameStatus shape = SheetNameShape(name); shape != SheetNameStatus::kOk) return shape;
  std::string want = LowerAscii(name);
  for (const auto& s : book.sheets_)
    if (s->Id() != except && LowerAscii(s->Name()) == want) return SheetNameStatus::kDuplicate;
  return SheetNameStatus::kOk;
}

Sheet* WorkbookEngine::AddSheet(BookId bookId, const std::string& name, int position,
                                SheetNameStatus* status) {
  Book* book = FindBook(bookId);
  SheetNameStatus st = book ? CheckSheetName(*book, name) : SheetNameStatus::kEmpty;
  if (status) *status = st;
  if (st != SheetNameStatus::kOk) return nullptr;
  auto sheet = std::make_unique<Sheet>();
  sheet->id_ = impl_->nextSheet++;
  sheet->book_ = bookId;
  sheet->name_ = name;
  Sheet* raw = sheet.get();
  int count = book->SheetCount();
  int at = position < 0 || position > count ? count : position;
  book->sheets_.insert(book->sheets_.begin() + at, std::move(sheet));
  impl_->sheets[raw->Id()] = raw;
  book->modified = true;
  impl_->InvalidateGraph();  // references from other books may now find this sheet
  return raw;
}

SheetNameStatus WorkbookEngine::RenameSheet(SheetId sheetId, const std::string& name) {
  Sheet* sheet = impl_->SheetById(sheetId);
  if (!sheet) return SheetNameStatus::kEmpty;
  Book* book = FindBook(sheet->OwnerBook());
  SheetNameStatus st = CheckSheetName(*book, name, sheetId);
  if (st != SheetNameStatus::kOk) return st;
  impl_->EnsureGraph();  // resolves external references before the name changes
  sheet->name_ = name;
  // Local references follow by id; their text is regenerated. References from other open
  // books name the sheet and are renamed with it.
  for (auto& b : books_)
    for (auto& s : b->sheets_)
      for (auto& [key, cell] : s->cells_) {
        Formula* f = cell.formula.get();
        if (!f || !f->tree) continue;
        ForEachReference(*f->tree, [&](FormulaNode& n) {
          if (n.target.link < 0 && n.target.sheetId == sheetId && n.target.explicitSheet) {
            f->textCurrent = false;
            ++f->edits;
          }
          if (n.target.link >= 0 && n.target.resolvedSheet == sheetId) {
            n.target.extSheet = name;
            f->textCurrent = false;
            ++f->edits;
            b->modified = true;
          }
        });
      }
  book->modified = true;
  impl_->InvalidateGraph();
  return SheetNameStatus::kOk;
}

bool WorkbookEngine::DeleteSheet(SheetId sheetId) {
  Sheet* sheet = impl_->SheetById(sheetId);
  if (!sheet) return false;
  Book* book = FindBook(sheet->OwnerBook());
  if (book->SheetCount() <= 1) return false;
  impl_->ProcessPending();
  for (auto& b : books_)
    for (auto& s : b->sheets_) {
      if (s->Id() == sheetId) continue;
      for (auto& [key, cell] : s->cells_) {
        Formula* f = cell.formula.get();
        if (!f || !f->tree) continue;
        ForEachReference(*f->tree, [&](FormulaNode& n) {
          if (n.target.link < 0 && n.target.sheetId == sheetId) {
            MakeRefError(n);
            f->textCurrent = false;
            ++f->edits;
            b->modified = true;
          }
        });
      }
    }
  impl_->sheets.erase(sheetId);
  std::erase_if(impl_->pending, [&](GlobalKey k) { return GlobalSheet(k) == sheetId; });
  auto& list = book->sheets_;
  list.erase(std::find_if(list.begin(), list.end(), [&](auto& s) { return s->Id() == sheetId; }));
  book->activeSheet = std::min(book->activeSheet, book->SheetCount() - 1);
  book->modified = true;
  impl_->InvalidateGraph();
  return true;
}

namespace {

// Moves a row coordinate at or below the insertion row down by one; false when it falls off
// the sheet.
bool ShiftRow(int& row, int at) {
  if (row < at) return true;
  ++row;
  return row < kMaxRows;
}

}  // namespace

bool WorkbookEngine::InsertRow(SheetId sheetId, int row) {
  Sheet* sheet = impl_->SheetById(sheetId);
  if (!sheet || row < 0 || row >= kMaxRows) return false;
  impl_->EnsureGraph();  // every formula parsed, external references resolved
  // References into the sheet, from every open book.
  for (auto& b : books_)
    for (auto& s : b->sheets_)
      for (auto& [key, cell] : s->cells_) {
        Formula* f = cell.formula.get();
        if (!f || !f->tree) continue;
        ForEachReference(*f->tree, [&](FormulaNode& n) {
          if (impl_->TargetSheet(n.target) != sheetId || n.form == RangeForm::kColumns) return;
          int r1 = n.a.row, r2 = n.kind == NodeKind::kRange ? n.b.row : n.a.row;
          bool ok = ShiftRow(n.a.row, row);
          if (n.kind == NodeKind::kRange) ok = ShiftRow(n.b.row, row) && ok;
          if (n.a.row != r1 || (n.kind == NodeKind::kRange && n.b.row != r2)) {
            f->textCurrent = false;
            ++f->edits;
            b->modified = true;
          }
          if (!ok) MakeRefError(n);
        });
      }
  // Cells move down: re-key the nodes (cell objects and their formulas stay in place).
  auto& cells = sheet->cells_;
  std::vector<Sheet::CellMap::node_type> moved;
  for (auto it = cells.lower_bound(CellKey(row, 0)); it != cells.end();) {
    auto next = std::next(it);
    moved.push_back(cells.extract(it));
    it = next;
  }
  for (auto& node : moved) {
    int r = KeyRow(node.key()) + 1;
    if (r >= kMaxRows) continue;
    node.key() = CellKey(r, KeyCol(node.key()));
    cells.insert(std::move(node));
  }
  Impl::Reindex(*sheet);
  std::map<int, double> heights;
  for (auto [r, h] : sheet->rowHeights)
    if (r < row) heights[r] = h;
    else if (r + 1 < kMaxRows) heights[r + 1] = h;
  sheet->rowHeights = std::move(heights);
  for (MergedRange& m : sheet->merges) {
    if (m.firstRow >= row) ++m.firstRow;
    if (m.lastRow >= row) ++m.lastRow;
  }
  std::erase_if(sheet->merges, [](const MergedRange& m) { return m.lastRow >= kMaxRows; });
  if (Book* b = FindBook(sheet->OwnerBook())) b->modified = true;
  impl_->InvalidateGraph();
  return true;
}

Book& WorkbookEngine::LoadImported(ImportedBook&& in, const std::string& name,
                                   const std::string& fullName) {
  Book& book = AddBook(name, fullName, in.format);
  book.formats = std::move(in.formats);
  if (book.formats.empty()) book.formats.push_back(CellFormat{});
  book.externalLinks = std::move(in.externalBooks);
  book.unsupportedParts = std::move(in.unsupportedParts);
  // All sheets first: formulas may reference sheets that come later in the file.
  std::vector<Sheet*> sheets;
  for (ImportedSheet& is : in.sheets) {
    Sheet* s = AddSheet(book.Id(), is.name);
    if (!s) {  // a name this model would refuse (duplicate): keep it unchanged anyway
      auto sheet = std::make_unique<Sheet>();
      sheet->id_ = impl_->nextSheet++;
      sheet->book_ = book.Id();
      sheet->name_ = is.name;
      s = sheet.get();
      book.sheets_.push_back(std::move(sheet));
      impl_->sheets[s->Id()] = s;
    }
    s->columnWidths = std::move(is.columnWidths);
    s->rowHeights = std::move(is.rowHeights);
    s->merges = std::move(is.merges);
    sheets.push_back(s);
  }
  const FormulaSyntax syntax =
      in.format == BookFormat::kOds ? FormulaSyntax::kOds : FormulaSyntax::kA1;
  for (size_t i = 0; i < in.sheets.size(); ++i) {
    Sheet* s = sheets[i];
    for (ImportedCell& ic : in.sheets[i].cells) {
      Cell* c = impl_->Touch(s->Id(), ic.row, ic.column);
      if (!c) continue;
      c->format = ic.style >= 0 && ic.style < static_cast<int>(book.formats.size()) ? ic.style : 0;
      using K = ImportedCell::Kind;
      using C = ImportedCell::Cached;
      switch (ic.kind) {
        case K::kEmpty: break;
        case K::kNumber: c->value = CellValue::Number(ic.number); break;
        case K::kString: c->value = CellValue::Text(std::move(ic.text)); break;
        case K::kBool: c->value = CellValue::Boolean(ic.number != 0.0); break;
        case K::kFormula:
          if (ic.cached == C::kNumber) c->value = CellValue::Number(ic.number);
          else if (ic.cached == C::kString) c->value = CellValue::Text(std::move(ic.text));
          else if (ic.cached == C::kBool) c->value = CellValue::Boolean(ic.number != 0.0);
          SetFormula(s->Id(), ic.row, ic.column, ic.formula, syntax);
          break;
      }
    }
  }
  book.modified = false;
  return book;
}

}  // namespace ploxen
