// The workbook engine's books, cells and reading operations.
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

std::string FileNamePart(std::string_view path) {
  size_t cut = path.find_last_of("/\\");
  return std::string(cut == std::string_view::npos ? path : path.substr(cut + 1));
}

bool ValidPosition(int row, int col) {
  return row >= 0 && row < kMaxRows && col >= 0 && col < kMaxColumns;
}

}  // namespace

const Cell* Sheet::Find(int row, int col) const {
  auto it = cells_.find(CellKey(row, col));
  return it == cells_.end() ? nullptr : &it->second;
}

CellAddr Sheet::LastUsed() const {
  CellAddr last{-1, -1};
  for (const auto& [key, cell] : cells_) {
    if (cell.value.IsEmpty() && !cell.formula) continue;
    last.row = std::max(last.row, KeyRow(key));
    last.col = std::max(last.col, KeyCol(key));
  }
  return last;
}

int Book::FindSheet(std::string_view name) const {
  std::string want = LowerAscii(name);
  for (size_t i = 0; i < sheets_.size(); ++i)
    if (LowerAscii(sheets_[i]->Name()) == want) return static_cast<int>(i);
  return -1;
}

int Book::AddFormat(const CellFormat& format) {
  for (size_t i = 0; i < formats.size(); ++i)
    if (formats[i] == format) return static_cast<int>(i);
  formats.push_back(format);
  return static_cast<int>(formats.size() - 1);
}

WorkbookEngine::WorkbookEngine() : impl_(std::make_unique<Impl>(*this)) {}
WorkbookEngine::~WorkbookEngine() = default;

Book& WorkbookEngine::AddBook(const std::string& name, const std::string& fullName,
                              BookFormat format) {
  auto book = std::make_unique<Book>();
  book->id_ = impl_->nextBook++;
  book->name_ = name;
  book->fullName_ = fullName;
  book->format_ = format;
  books_.push_back(std::move(book));
  impl_->InvalidateGraph();  // references of other books may now resolve to this one
  return *books_.back();
}

Book& WorkbookEngine::NewBook(const std::string& name, const std::string& fullName) {
  std::string lower = LowerAscii(name);
  bool ods = lower.size() >= 4 && lower.compare(lower.size() - 4, 4, ".ods") == 0;
  Book& book = AddBook(name, fullName, ods ? BookFormat::kOds : BookFormat::kXlsx);
  AddSheet(book.Id(), "Sheet1");
  return book;
}

bool WorkbookEngine::CloseBook(BookId id) {
  auto it = std::find_if(books_.begin(), books_.end(), [&](auto& b) { return b->Id() == id; });
  if (it == books_.end()) return false;
  for (auto& s : (*it)->sheets_) impl_->sheets.erase(s->Id());
  std::erase_if(impl_->pending, [&](GlobalKey k) { return !impl_->SheetById(GlobalSheet(k)); });
  books_.erase(it);
  impl_->InvalidateGraph();
  return true;
}

Book* WorkbookEngine::FindBook(BookId id) {
  for (auto& b : books_)
    if (b->Id() == id) return b.get();
  return nullptr;
}

Book* WorkbookEngine::FindBookByName(std::string_view name) {
  std::string want = LowerAscii(FileNamePart(name));
  for (auto& b : books_)
    if (LowerAscii(b->Name()) == want) return b.get();
  return nullptr;
}

void WorkbookEngine::SetBookPath(BookId id, const std::string& name, const std::string& fullName,
                                 BookFormat format) {
  Book* b = FindBook(id);
  if (!b) return;
  b->name_ = name;
  b->fullName_ = fullName;
  b->format_ = format;
  impl_->InvalidateGraph();
}

Sheet* WorkbookEngine::FindSheet(SheetId id) { return impl_->SheetById(id); }
const Sheet* WorkbookEngine::FindSheet(SheetId id) const { return impl_->SheetById(id); }

void WorkbookEngine::SetClock(std::function<double()> clock) { impl_->clock = std::move(clock); }

// ---- cell writes -------------------------------------------------------------------------

Cell* WorkbookEngine::Impl::Touch(SheetId sheet, int row, int col) {
  Sheet* s = SheetById(sheet);
  if (!s || !ValidPosition(row, col)) return nullptr;
  auto [it, inserted] = s->cells_.try_emplace(CellKey(row, col));
  if (inserted) s->byColumn_[CellKey(col, row)] = &it->second;
  return &it->second;
}

void WorkbookEngine::Impl::Reindex(Sheet& sheet) {
  sheet.byColumn_.clear();
  sheet.formulas_.clear();
  for (auto& [key, cell] : sheet.cells_) {
    std::uint64_t colKey = CellKey(KeyCol(key), KeyRow(key));
    sheet.byColumn_.emplace_hint(sheet.byColumn_.end(), colKey, &cell);
    if (cell.formula) sheet.formulas_[colKey] = &cell;
  }
}

void WorkbookEngine::SetConstant(SheetId sheet, int row, int col, CellValue value) {
  Cell* c = impl_->Touch(sheet, row, col);
  if (!c) return;
  if (c->formula) impl_->SheetById(sheet)->formulas_.erase(CellKey(col, row));
  c->formula.reset();
  c->value = std::move(value);
  impl_->Written(sheet, row, col);
}

void WorkbookEngine::SetNumber(SheetId sheet, int row, int col, double value) {
  SetConstant(sheet, row, col, CellValue::Number(value));
}
void WorkbookEngine::SetText(SheetId sheet, int row, int col, const std::string& value) {
  SetConstant(sheet, row, col, CellValue::Text(value));
}
void WorkbookEngine::SetBoolean(SheetId sheet, int row, int col, bool value) {
  SetConstant(sheet, row, col, CellValue::Boolean(value));
}
void WorkbookEngine::SetError(SheetId sheet, int row, int col, ErrorCode code) {
  SetConstant(sheet, row, col, CellValue::Error(code));
}
void WorkbookEngine::ClearCell(SheetId sheet, int row, int col) {
  Sheet* s = impl_->SheetById(sheet);
  if (!s) return;
  auto it = s->cells_.find(CellKey(row, col));
  if (it == s->cells_.end()) return;
  s->formulas_.erase(CellKey(col, row));
  if (it->second.format == 0) {
    s->byColumn_.erase(CellKey(col, row));
    s->cells_.erase(it);
  } else {
    it->second = Cell{CellValue{}, nullptr, it->second.format};
  }
  impl_->Written(sheet, row, col);
}

void WorkbookEngine::SetFormula(SheetId sheet, int row, int col, const std::string& text,
                                FormulaSyntax syntax, int shiftRows, int shiftCols) {
  Cell* c = impl_->Touch(sheet, row, col);
  if (!c) return;
  auto f = std::make_unique<Formula>();
  std::string_view t = text;
  if (t.substr(0, 3) == "of:") t.remove_prefix(3), syntax = FormulaSyntax::kOds;
  if (!t.empty() && t[0] == '=') t.remove_prefix(1);
  f->text = std::string(t);
  f->syntax = syntax;
  f->shiftRows = shiftRows;
  f->shiftCols = shiftCols;
  c->formula = std::move(f);
  impl_->SheetById(sheet)->formulas_[CellKey(col, row)] = c;
  impl_->pending.push_back(MakeGlobalKey(sheet, row, col));
  if (Book* b = impl_->BookOfSheet(sheet)) b->modified = true;
}

void WorkbookEngine::SetCachedValue(SheetId sheet, int row, int col, const CellValue& value) {
  Cell* c = impl_->Touch(sheet, row, col);
  if (c) c->value = value;
}

void WorkbookEngine::SetFormat(SheetId sheet, int row, int col, int format) {
  Cell* c = impl_->Touch(sheet, row, col);
  if (c) c->format = format;
}

void WorkbookEngine::SetInput(SheetId sheet, int row, int col, const std::string& text) {
  CellInput in = ReadCellInput(text);
  switch (in.kind) {
    case CellInput::Kind::kEmpty:
      return ClearCell(sheet, row, col);
    case CellInput::Kind::kFormula:
      SetCachedValue(sheet, row, col, CellValue::Empty());  // no cache: unknown ones show #NAME?
      SetFormula(sheet, row, col, in.text, FormulaSyntax::kA1);
      impl_->ProcessPending();
      impl_->Written(sheet, row, col);
      return;
    case CellInput::Kind::kNumber:
      return SetNumber(sheet, row, col, in.number);
    case CellInput::Kind::kBoolean:
      return SetBoolean(sheet, row, col, in.number != 0.0);
    case CellInput::Kind::kError:
      return SetError(sheet, row, col, in.error);
    case CellInput::Kind::kText:
      return SetText(sheet, row, col, in.text);
  }
}

// ---- reading -----------------------------------------------------------------------------

CellValue WorkbookEngine::Value(SheetId sheet, int row, int col) {
  Sheet* s = impl_->SheetById(sheet);
  if (!s || !ValidPosition(row, col)) return {};
  impl_->EnsureGraph();
  auto it = s->cells_.find(CellKey(row, col));
  if (it == s->cells_.end()) return {};
  if (it->second.formula) impl_->Ensure(MakeGlobalKey(sheet, row, col));
  return it->second.value;
}

std::string WorkbookEngine::ValueString(SheetId sheet, int row, int col) {
  return ValueText(Value(sheet, row, col));
}

std::string WorkbookEngine::FormulaText(SheetId sheet, int row, int col, FormulaSyntax syntax) {
  Sheet* s = impl_->SheetById(sheet);
  if (!s) return {};
  impl_->ProcessPending();
  auto it = s->cells_.find(CellKey(row, col));
  if (it == s->cells_.end() || !it->second.formula) return {};
  const Formula& f = *it->second.formula;
  const char* prefix = syntax == FormulaSyntax::kOds ? "of:=" : "=";
  if (!f.tree) return (f.syntax == FormulaSyntax::kOds ? "of:=" : "=") + f.text;
  if (f.textCurrent && f.syntax == syntax) return prefix + f.text;
  Book* b = impl_->BookOfSheet(sheet);
  return prefix + PrintFormula(*f.tree, syntax, impl_->MakePrintContext(*b, *s));
}

bool WorkbookEngine::IsEvaluable(SheetId sheet, int row, int col) {
  Sheet* s = impl_->SheetById(sheet);
  if (!s) return false;
  impl_->ProcessPending();
  const Cell* c = s->Find(row, col);
  return c && c->formula && c->formula->evaluable;
}

void WorkbookEngine::RecalculateAll() {
  impl_->EnsureGraph();
  impl_->TouchVolatile();
  for (auto& b : books_)
    for (auto& s : b->sheets_)
      for (auto& [colKey, cell] : s->formulas_)  // keyed (column, row)
        if (cell->formula && cell->formula->dirty)
          impl_->Ensure(MakeGlobalKey(s->Id(), KeyCol(colKey), KeyRow(colKey)));
}

void WorkbookEngine::FullRecalculation() {
  impl_->InvalidateGraph();
  RecalculateAll();
}

void WorkbookEngine::TouchVolatile() {
  impl_->EnsureGraph();
  impl_->TouchVolatile();
}

// ---- parse and print contexts ------------------------------------------------------------

ParseContext WorkbookEngine::Impl::MakeParseContext(Book& book, Sheet& sheet, const Formula& f) {
  ParseContext ctx;
  ctx.sheet = sheet.Id();
  ctx.shiftRows = f.shiftRows;
  ctx.shiftCols = f.shiftCols;
  ctx.findSheet = [&book](std::string_view name) -> SheetId {
    int i = book.FindSheet(name);
    return i < 0 ? 0 : book.SheetAt(i).Id();
  };
  ctx.findLink = [&book](std::string_view name) -> int {
    std::string file = FileNamePart(name);
    if (LowerAscii(file) == LowerAscii(book.Name())) return -2;
    for (size_t i = 0; i < book.externalLinks.size(); ++i)
      if (LowerAscii(book.externalLinks[i].fileName) == LowerAscii(file)) return static_cast<int>(i);
    ExternalBook link;
    link.fileName = file;
    link.target = std::string(name);
    book.externalLinks.push_back(std::move(link));
    return static_cast<int>(book.externalLinks.size() - 1);
  };
  return ctx;
}

PrintContext WorkbookEngine::Impl::MakePrintContext(Book& book, Sheet& sheet) {
  PrintContext ctx;
  ctx.sheet = sheet.Id();
  ctx.sheetName = [this](SheetId id) {
    Sheet* s = SheetById(id);
    return s ? s->Name() : std::string("#REF!");
  };
  ctx.linkName = [&book](int index, bool target) {
    if (index < 0 || index >= static_cast<int>(book.externalLinks.size())) return std::string();
    const ExternalBook& l = book.externalLinks[index];
    return target && !l.target.empty() ? l.target : l.fileName;
  };
  return ctx;
}

}  // namespace ploxen
