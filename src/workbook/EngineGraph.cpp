// Dependency graph and evaluation driver of the workbook engine.
//
// Every evaluable formula registers the cells and ranges it reads. A write walks these
// reverse edges and marks the formulas that read the cell dirty, transitively. Reading a
// dirty formula evaluates it with an explicit stack (no recursion over cells, so chains of
// any length are safe): a formula is evaluated only after every dirty formula it reads, and a
// formula met again while it is still on the stack closes a cycle whose members all get an
// error value.
#include <chrono>
#include <cmath>
#include <ctime>
#include <unordered_set>

#include "workbook/EngineImpl.h"

namespace ploxen {

namespace {

std::string LowerAscii(std::string_view s) {
  std::string l(s);
  for (char& c : l)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return l;
}

}  // namespace

Sheet* WorkbookEngine::Impl::SheetById(SheetId id) const {
  auto it = sheets.find(id);
  return it == sheets.end() ? nullptr : it->second;
}

Book* WorkbookEngine::Impl::BookOfSheet(SheetId id) const {
  Sheet* s = SheetById(id);
  return s ? engine.FindBook(s->OwnerBook()) : nullptr;
}

Cell* WorkbookEngine::Impl::CellAt(GlobalKey key) const {
  Sheet* s = SheetById(GlobalSheet(key));
  if (!s) return nullptr;
  auto it = s->cells_.find(CellKey(GlobalRow(key), GlobalCol(key)));
  return it == s->cells_.end() ? nullptr : &it->second;
}

Formula* WorkbookEngine::Impl::FormulaAt(GlobalKey key) const {
  Cell* c = CellAt(key);
  return c ? c->formula.get() : nullptr;
}

SheetId WorkbookEngine::Impl::ResolveExternal(const Book& book, const RefTarget& t) const {
  if (t.link < 0 || t.link >= static_cast<int>(book.externalLinks.size())) return 0;
  Book* other = engine.FindBookByName(book.externalLinks[t.link].fileName);
  if (!other || other == &book) return 0;
  int idx = other->FindSheet(t.extSheet);
  return idx < 0 ? 0 : other->SheetAt(idx).Id();
}

void WorkbookEngine::Impl::Parse(Book& book, Sheet& sheet, int row, int col, Formula& f) {
  ParseContext ctx = MakeParseContext(book, sheet, f);
  ParseResult r = ParseFormula(f.text, f.syntax, ctx);
  if (!r.tree && f.syntax == FormulaSyntax::kOds) {  // an OpenDocument reader may hand A1 text
    ParseResult r2 = ParseFormula(f.text, FormulaSyntax::kA1, ctx);
    if (r2.tree) {
      r = std::move(r2);
      f.syntax = FormulaSyntax::kA1;
    }
  }
  (void)row;
  (void)col;
  f.tree = std::move(r.tree);
  f.state = f.tree ? Formula::State::kParsed : Formula::State::kUnparsable;
  f.evaluable = f.tree && !r.unknownFunction;
  f.isVolatile = r.isVolatile;
  f.textCurrent = f.tree && f.shiftRows == 0 && f.shiftCols == 0 && !r.indexLinks;
  f.dirty = f.evaluable;
}

void WorkbookEngine::Impl::ProcessPending() {
  if (pending.empty()) return;
  std::vector<GlobalKey> work;
  work.swap(pending);
  for (GlobalKey k : work) {
    Formula* f = FormulaAt(k);
    if (!f || f->state != Formula::State::kPending) continue;
    Sheet* s = SheetById(GlobalSheet(k));
    Book* b = engine.FindBook(s->OwnerBook());
    Parse(*b, *s, GlobalRow(k), GlobalCol(k), *f);
    // A formula we cannot evaluate shows what the file cached; with no cache (files do not
    // cache error results) it shows what a spreadsheet shows for an unknown function.
    Cell* cell = CellAt(k);
    if (!f->evaluable && cell->value.IsEmpty()) cell->value = CellValue::Error(ErrorCode::kName);
    if (graphValid && f->evaluable) {
      Register(k, *b, *f->tree);
      if (f->isVolatile) volatiles.push_back(k);
    }
    if (graphValid) MarkDirtyFrom(k);
  }
  // Stale edges of replaced formulas only cost extra dirty marks; rebuild when they pile up.
  if (graphValid && registrations > 2 * liveFormulas + 4096) graphValid = false;
}

void WorkbookEngine::Impl::EnsureGraph() {
  ProcessPending();
  if (!graphValid) RebuildGraph();
}

void WorkbookEngine::Impl::RebuildGraph() {
  cellDeps.clear();
  rangeDeps.clear();
  volatiles.clear();
  registrations = 0;
  for (auto& bookPtr : engine.books_) {
    Book& book = *bookPtr;
    for (auto& sheetPtr : book.sheets_) {
      for (auto& [key, cell] : sheetPtr->cells_) {
        Formula* f = cell.formula.get();
        if (!f || !f->evaluable || !f->tree) continue;
        GlobalKey gk = MakeGlobalKey(sheetPtr->id_, KeyRow(key), KeyCol(key));
        Register(gk, book, *f->tree);
        f->dirty = true;
        if (f->isVolatile) volatiles.push_back(gk);
      }
    }
  }
  liveFormulas = registrations;
  graphValid = true;
}

void WorkbookEngine::Impl::Register(GlobalKey formulaKey, Book& book, const FormulaNode& tree) {
  ++registrations;
  std::vector<FormulaNode*> stack{const_cast<FormulaNode*>(&tree)};
  while (!stack.empty()) {
    FormulaNode* n = stack.back();
    stack.pop_back();
    for (auto& a : n->args) stack.push_back(a.get());
    if (n->kind != NodeKind::kRef && n->kind != NodeKind::kRange) continue;
    if (n->target.link >= 0) n->target.resolvedSheet = ResolveExternal(book, n->target);
    SheetId sid = TargetSheet(n->target);
    if (sid == 0) continue;
    if (n->kind == NodeKind::kRef) {
      cellDeps[MakeGlobalKey(sid, n->a.row, n->a.col)].push_back(formulaKey);
      continue;
    }
    RangeDep d{n->a.row, n->b.row, n->a.col, n->b.col, formulaKey};
    if (n->form == RangeForm::kColumns) d.row1 = 0, d.row2 = kMaxRows - 1;
    if (n->form == RangeForm::kRows) d.col1 = 0, d.col2 = kMaxColumns - 1;
    SheetRangeDeps& deps = rangeDeps[sid];
    if (d.col2 - d.col1 < 64) {
      for (int c = d.col1; c <= d.col2; ++c) deps.byColumn[c].push_back(d);
    } else {
      deps.wide.push_back(d);
    }
  }
}

void WorkbookEngine::Impl::MarkDirtyFrom(GlobalKey changed) {
  std::vector<GlobalKey> work{changed};
  auto visit = [&](GlobalKey d) {
    Formula* f = FormulaAt(d);
    if (f && f->evaluable && !f->dirty) {
      f->dirty = true;
      work.push_back(d);
    }
  };
  while (!work.empty()) {
    GlobalKey cur = work.back();
    work.pop_back();
    if (auto it = cellDeps.find(cur); it != cellDeps.end())
      for (GlobalKey d : it->second) visit(d);
    auto rs = rangeDeps.find(GlobalSheet(cur));
    if (rs == rangeDeps.end()) continue;
    int row = GlobalRow(cur), col = GlobalCol(cur);
    if (auto it = rs->second.byColumn.find(col); it != rs->second.byColumn.end())
      for (const RangeDep& d : it->second)
        if (row >= d.row1 && row <= d.row2) visit(d.dependent);
    for (const RangeDep& d : rs->second.wide)
      if (row >= d.row1 && row <= d.row2 && col >= d.col1 && col <= d.col2) visit(d.dependent);
  }
}

void WorkbookEngine::Impl::TouchVolatile() {
  if (!graphValid) return;
  for (GlobalKey k : volatiles) {
    Formula* f = FormulaAt(k);
    if (!f || !f->isVolatile || !f->evaluable) continue;
    f->dirty = true;
    MarkDirtyFrom(k);
  }
}

void WorkbookEngine::Impl::CollectDirty(const FormulaNode& root, std::vector<DirtyCell>& out) {
  std::vector<const FormulaNode*> stack{&root};
  auto take = [&out](SheetId sid, int r, int c, Cell& cell) {
    if (cell.formula && cell.formula->dirty) out.push_back({MakeGlobalKey(sid, r, c), &cell});
  };
  while (!stack.empty()) {
    const FormulaNode* n = stack.back();
    stack.pop_back();
    for (const auto& a : n->args) stack.push_back(a.get());
    if (n->kind != NodeKind::kRef && n->kind != NodeKind::kRange) continue;
    SheetId sid = TargetSheet(n->target);
    Sheet* s = SheetById(sid);
    if (!s) continue;
    auto& cells = s->cells_;
    if (n->kind == NodeKind::kRef) {
      auto it = cells.find(CellKey(n->a.row, n->a.col));
      if (it != cells.end()) take(sid, n->a.row, n->a.col, it->second);
      continue;
    }
    int r1 = n->a.row, r2 = n->b.row, c1 = n->a.col, c2 = n->b.col;
    if (n->form == RangeForm::kColumns) r1 = 0, r2 = kMaxRows - 1;
    if (n->form == RangeForm::kRows) c1 = 0, c2 = kMaxColumns - 1;
    ScanRect(s->formulas_, c1, r1, c2, r2,
             [&](int c, int r, Cell* cell) { take(sid, r, c, *cell); });
  }
}

void WorkbookEngine::Impl::Ensure(GlobalKey root) {
  Cell* rootCell = CellAt(root);
  Formula* rf = rootCell ? rootCell->formula.get() : nullptr;
  if (!rf || !rf->dirty || !rf->evaluable) return;
  struct Frame {
    GlobalKey key;
    Cell* cell;
    std::vector<DirtyCell> needs;
    size_t next = 0;
    bool collected = false;
    bool cyclic = false;
  };
  std::vector<Frame> stack;
  std::unordered_map<GlobalKey, size_t> onStack;
  stack.push_back(Frame{root, rootCell, {}, 0, false, false});
  onStack[root] = 0;
  while (!stack.empty()) {
    Frame& fr = stack.back();
    Formula* f = fr.cell->formula.get();
    if (!fr.collected && !fr.cyclic) {
      CollectDirty(*f->tree, fr.needs);
      fr.collected = true;
    }
    DirtyCell next{0, nullptr};
    while (!fr.cyclic && fr.next < fr.needs.size()) {
      DirtyCell p = fr.needs[fr.next++];
      Formula* pf = p.cell->formula.get();
      if (!pf || !pf->dirty || !pf->evaluable) continue;
      if (auto it = onStack.find(p.key); it != onStack.end()) {
        for (size_t i = it->second; i < stack.size(); ++i) stack[i].cyclic = true;
        continue;
      }
      next = p;
      break;
    }
    if (next.cell) {
      onStack[next.key] = stack.size();
      stack.push_back(Frame{next.key, next.cell, {}, 0, false, false});
      continue;
    }
    evalBook = BookOfSheet(GlobalSheet(fr.key));
    if (fr.cyclic) {
      fr.cell->value = CellValue::Error(ErrorCode::kValue);
    } else if (fr.cell->value.IsEmpty() || !ReadsUnreachableBook(*f->tree)) {
      fr.cell->value = EvaluateFormula(*f->tree, *this, {GlobalRow(fr.key), GlobalCol(fr.key)});
    }  // else: another workbook that is neither open nor cached; the last value stays
    evalBook = nullptr;
    f->dirty = false;
    onStack.erase(fr.key);
    stack.pop_back();
  }
}

bool WorkbookEngine::Impl::ReadsUnreachableBook(const FormulaNode& root) const {
  std::vector<const FormulaNode*> stack{&root};
  while (!stack.empty()) {
    const FormulaNode* n = stack.back();
    stack.pop_back();
    for (const auto& a : n->args) stack.push_back(a.get());
    if ((n->kind == NodeKind::kRef || n->kind == NodeKind::kRange) && n->target.link >= 0 &&
        !SheetById(n->target.resolvedSheet) && !Cache(n->target))
      return true;
  }
  return false;
}

void WorkbookEngine::Impl::Written(SheetId sheet, int row, int col) {
  if (Book* b = BookOfSheet(sheet)) b->modified = true;
  if (!graphValid) return;
  MarkDirtyFrom(MakeGlobalKey(sheet, row, col));
  TouchVolatile();
}

const std::map<std::pair<int, int>, ExternalCachedCell>* WorkbookEngine::Impl::Cache(
    const RefTarget& t) const {
  if (!evalBook || t.link < 0 || t.link >= static_cast<int>(evalBook->externalLinks.size()))
    return nullptr;
  const auto& sheetsOfLink = evalBook->externalLinks[t.link].sheets;
  if (auto it = sheetsOfLink.find(t.extSheet); it != sheetsOfLink.end()) return &it->second;
  std::string want = LowerAscii(t.extSheet);
  for (const auto& [name, cells] : sheetsOfLink)
    if (LowerAscii(name) == want) return &cells;
  return nullptr;
}

bool WorkbookEngine::Impl::TargetValid(const RefTarget& t) {
  if (SheetId sid = TargetSheet(t)) return SheetById(sid) != nullptr;
  return Cache(t) != nullptr;
}

namespace {

CellValue FromCache(const ExternalCachedCell& c) {
  return c.isNumber ? CellValue::Number(c.number) : CellValue::Text(c.text);
}

}  // namespace

CellValue WorkbookEngine::Impl::CellAt(const RefTarget& t, int row, int col) {
  if (SheetId sid = TargetSheet(t)) {
    Sheet* s = SheetById(sid);
    if (!s) return CellValue::Error(ErrorCode::kRef);
    auto it = s->cells_.find(CellKey(row, col));
    return it == s->cells_.end() ? CellValue::Empty() : it->second.value;
  }
  const auto* cache = Cache(t);
  if (!cache) return CellValue::Error(ErrorCode::kRef);
  auto it = cache->find({row, col});
  return it == cache->end() ? CellValue::Empty() : FromCache(it->second);
}

void WorkbookEngine::Impl::ForEachCell(
    const RefTarget& t, int row1, int col1, int row2, int col2,
    const std::function<void(int, int, const CellValue&)>& visit) {
  if (SheetId sid = TargetSheet(t)) {
    Sheet* s = SheetById(sid);
    if (!s) return;
    // Walk along the shorter side: rows of a wide range, columns of a tall one.
    if (row2 - row1 <= col2 - col1) {
      ScanRect(s->cells_, row1, col1, row2, col2, [&](int r, int c, const Cell& cell) {
        if (!cell.value.IsEmpty() || cell.formula) visit(r, c, cell.value);
      });
    } else {
      ScanRect(s->byColumn_, col1, row1, col2, row2, [&](int c, int r, const Cell* cell) {
        if (!cell->value.IsEmpty() || cell->formula) visit(r, c, cell->value);
      });
    }
    return;
  }
  const auto* cache = Cache(t);
  if (!cache) return;
  for (auto it = cache->lower_bound({row1, col1}); it != cache->end(); ++it) {
    auto [r, c] = it->first;
    if (r > row2) break;
    if (c >= col1 && c <= col2) visit(r, c, FromCache(it->second));
  }
}

int WorkbookEngine::Impl::LastRow(const RefTarget& t) {
  if (SheetId sid = TargetSheet(t)) {
    Sheet* s = SheetById(sid);
    return s && !s->cells_.empty() ? KeyRow(s->cells_.rbegin()->first) : -1;
  }
  const auto* cache = Cache(t);
  return cache && !cache->empty() ? cache->rbegin()->first.first : -1;
}

double WorkbookEngine::Impl::Now() {
  if (clock) return clock();
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  // Days from 1899-12-30 to the local calendar date, plus the fraction of the day.
  int y = local.tm_year + 1900, m = local.tm_mon + 1, d = local.tm_mday;
  // Days from civil (proleptic Gregorian), epoch 1970-01-01.
  y -= m <= 2;
  const int era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  const long days1970 = era * 146097L + static_cast<long>(doe) - 719468L;
  const double seconds = local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec;
  return static_cast<double>(days1970 + 25569) + seconds / 86400.0;
}

}  // namespace ploxen
