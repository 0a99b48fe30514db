// Inner state of WorkbookEngine: sheet index, dependency graph and the evaluation driver.
#pragma once

#include <functional>
#include <unordered_map>
#include <vector>

#include "workbook/EngineModel.h"
#include "workbook/Evaluator.h"
#include "workbook/FormulaParser.h"

namespace ploxen {

/// One cell anywhere in the engine: sheet id, row and column packed into 64 bits.
using GlobalKey = std::uint64_t;
constexpr GlobalKey MakeGlobalKey(SheetId sheet, int row, int col) {
  return (static_cast<GlobalKey>(static_cast<std::uint32_t>(sheet)) << 34) |
         (static_cast<GlobalKey>(static_cast<std::uint32_t>(row)) << 14) |
         static_cast<GlobalKey>(static_cast<std::uint32_t>(col));
}
constexpr SheetId GlobalSheet(GlobalKey k) { return static_cast<SheetId>(k >> 34); }
constexpr int GlobalRow(GlobalKey k) { return static_cast<int>((k >> 14) & 0xFFFFF); }
constexpr int GlobalCol(GlobalKey k) { return static_cast<int>(k & 0x3FFF); }

/// Visits the entries of a map keyed CellKey(major, minor) inside a rectangle, skipping
/// from line to line with lower_bound so that a narrow rectangle costs what it holds.
template <class Map, class Fn>
void ScanRect(Map& map, int major1, int minor1, int major2, int minor2, Fn fn) {
  const std::uint64_t end = CellKey(major2, minor2);
  for (auto it = map.lower_bound(CellKey(major1, minor1)); it != map.end() && it->first <= end;) {
    int major = KeyRow(it->first), minor = KeyCol(it->first);
    if (minor < minor1) {
      it = map.lower_bound(CellKey(major, minor1));
    } else if (minor > minor2) {
      it = map.lower_bound(CellKey(major + 1, minor1));
    } else {
      fn(major, minor, it->second);
      ++it;
    }
  }
}

/// Private part of the engine.
struct WorkbookEngine::Impl : public EvalSource {
  explicit Impl(WorkbookEngine& owner) : engine(owner) {}

  // Where things are.
  Sheet* SheetById(SheetId id) const;
  Book* BookOfSheet(SheetId id) const;
  Cell* CellAt(GlobalKey key) const;
  /// The cell at a position, created when missing; null for a bad sheet or position.
  Cell* Touch(SheetId sheet, int row, int col);
  /// Rebuilds a sheet's column-major indexes after its cells moved.
  static void Reindex(Sheet& sheet);
  Formula* FormulaAt(GlobalKey key) const;
  ParseContext MakeParseContext(Book& book, Sheet& sheet, const Formula& f);
  PrintContext MakePrintContext(Book& book, Sheet& sheet);
  /// Sheet id an external reference reads in an open book, 0 when that book is not open.
  SheetId ResolveExternal(const Book& book, const RefTarget& t) const;

  // Formulas and the graph.
  void Parse(Book& book, Sheet& sheet, int row, int col, Formula& f);
  void ProcessPending();   ///< parses formulas set since the last read
  void EnsureGraph();      ///< pending formulas parsed, graph built
  void InvalidateGraph() { graphValid = false; }
  void RebuildGraph();
  void Register(GlobalKey formulaKey, Book& book, const FormulaNode& tree);
  void MarkDirtyFrom(GlobalKey changed);
  void TouchVolatile();
  void Ensure(GlobalKey key);  ///< evaluates a dirty formula and everything it needs
  /// A dirty formula cell a formula reads.
  struct DirtyCell {
    GlobalKey key;
    Cell* cell;
  };
  void CollectDirty(const FormulaNode& n, std::vector<DirtyCell>& out);
  void Written(SheetId sheet, int row, int col);
  /// True when a formula reads another workbook that is neither open nor cached.
  bool ReadsUnreachableBook(const FormulaNode& root) const;  ///< bookkeeping after a cell write

  // EvalSource.
  bool TargetValid(const RefTarget& target) override;
  CellValue CellAt(const RefTarget& target, int row, int col) override;
  void ForEachCell(const RefTarget& target, int row1, int col1, int row2, int col2,
                   const std::function<void(int, int, const CellValue&)>& visit) override;
  int LastRow(const RefTarget& target) override;
  double Now() override;

  /// Local sheet a target reads (own sheet, or an open book's sheet), 0 for a cache.
  SheetId TargetSheet(const RefTarget& t) const { return t.link >= 0 ? t.resolvedSheet : t.sheetId; }
  const std::map<std::pair<int, int>, ExternalCachedCell>* Cache(const RefTarget& t) const;

  struct RangeDep {
    int row1, row2, col1, col2;
    GlobalKey dependent;
  };
  struct SheetRangeDeps {
    std::unordered_map<int, std::vector<RangeDep>> byColumn;  ///< ranges of <= 64 columns
    std::vector<RangeDep> wide;
  };

  WorkbookEngine& engine;
  BookId nextBook = 1;
  SheetId nextSheet = 1;
  std::unordered_map<SheetId, Sheet*> sheets;
  std::vector<GlobalKey> pending;  ///< formulas set but not parsed yet
  bool graphValid = false;
  std::unordered_map<GlobalKey, std::vector<GlobalKey>> cellDeps;
  std::unordered_map<SheetId, SheetRangeDeps> rangeDeps;
  std::vector<GlobalKey> volatiles;
  size_t registrations = 0;  ///< formulas registered since the last rebuild
  size_t liveFormulas = 0;   ///< formulas registered by the last rebuild
  const Book* evalBook = nullptr;  ///< book of the formula being evaluated
  std::function<double()> clock;
};

}  // namespace ploxen
