// Fuzz target for the save that keeps a file's package: workbook bytes are imported as a file
// opened by the user, some cells are changed (and rows inserted), the book is saved over a file
// of its own format and that file is imported again. A save either fails with a reason and
// leaves no file behind, or writes a file that reads back with every changed constant as it
// was set and every changed formula still a formula.
//
// Input: the package itself ("PK..."), changed by a fixed list of edits; or "--- part name"
// sections as for the import target, where a section "--- edits" lists the edits, one a line:
//   insert N        inserts a row above row N (1-based) of the first sheet
//   [S!]A1=INPUT    writes INPUT into a cell as a user types it, on sheet S (1-based; default 1)
#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "workbook/BookWriter.h"
#include "workbook/CellAddress.h"
#include "workbook/CellValue.h"
#include "workbook/EngineModel.h"
#include "workbook/OrcusImport.h"
#include "workbook/SourcePackage.h"

namespace {

using namespace ploxen;

struct Edit {
  bool insert = false;
  int sheet = 0;  // 0-based
  int row = 0;    // 0-based
  int col = 0;
  std::string input;
};

constexpr std::size_t kMaxEdits = 16;
constexpr int kMaxRow = 2000;
constexpr int kMaxCol = 60;

std::vector<Edit> ParseEdits(std::string_view text) {
  std::vector<Edit> edits;
  while (!text.empty() && edits.size() < kMaxEdits) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    Edit e;
    if (line.rfind("insert ", 0) == 0) {
      int row = 0;
      for (char c : line.substr(7)) {
        if (c < '0' || c > '9' || row > kMaxRow) break;
        row = row * 10 + (c - '0');
      }
      if (row < 1 || row > kMaxRow) continue;
      e.insert = true;
      e.row = row - 1;
      edits.push_back(e);
      continue;
    }
    const std::size_t bang = line.find('!');
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) continue;
    if (bang != std::string_view::npos && bang < equals) {
      const std::string_view s = line.substr(0, bang);
      if (s.size() != 1 || s[0] < '1' || s[0] > '9') continue;
      e.sheet = s[0] - '1';
      line.remove_prefix(bang + 1);
    }
    const std::size_t at = line.find('=');
    CellAddr addr;
    if (!ParseA1(line.substr(0, at), addr) || addr.row >= kMaxRow || addr.col >= kMaxCol) continue;
    e.row = addr.row;
    e.col = addr.col;
    e.input.assign(line.substr(at + 1));
    edits.push_back(std::move(e));
  }
  return edits;
}

std::vector<Edit> DefaultEdits() {
  return ParseEdits("insert 3\nB2=1.5\nC3='changed\nD4==B2*2+1\nA1=TRUE\nE7=text with <&>\n");
}

const ImportedCell* FindCell(const ImportedSheet& sheet, int row, int col) {
  for (const ImportedCell& c : sheet.cells)
    if (c.row == row && c.column == col) return &c;
  return nullptr;
}

// The value a file holds for a cell as imported (a formula's cached result).
CellValue ImportedValue(const ImportedCell* cell) {
  if (!cell) return {};
  using K = ImportedCell::Kind;
  using C = ImportedCell::Cached;
  const bool formula = cell->kind == K::kFormula;
  if (cell->kind == K::kNumber || (formula && cell->cached == C::kNumber))
    return CellValue::Number(cell->number);
  if (cell->kind == K::kString || (formula && cell->cached == C::kString))
    return CellValue::Text(cell->text);
  if (cell->kind == K::kBool || (formula && cell->cached == C::kBool))
    return CellValue::Boolean(cell->number != 0.0);
  return {};
}

bool SameValue(const CellValue& a, const CellValue& b) {
  if (a.kind != b.kind) return false;
  switch (a.kind) {
    case ValueKind::kNumber:
    case ValueKind::kBoolean: return a.number == b.number;
    case ValueKind::kText: return a.text == b.text;
    case ValueKind::kError: return a.error == b.error;
    default: return true;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  std::string package;
  std::vector<Edit> edits;
  if (input.rfind("PK", 0) == 0) {
    package.assign(input);
    edits = DefaultEdits();
  } else {
    std::vector<fuzz::Part> parts = fuzz::SplitParts(input);
    std::vector<fuzz::Part> kept;
    for (fuzz::Part& part : parts) {
      if (part.first == "edits")
        edits = ParseEdits(part.second);
      else
        kept.push_back(std::move(part));
    }
    package = fuzz::PackStored(kept);
  }

  ImportLimits limits;
  limits.maxCells = 100'000;
  ImportedBook imported;
  std::string error;
  if (!ReadWorkbookBytes(package, imported, error, limits)) return 0;

  const bool ods = imported.format == BookFormat::kOds;
  const BookFormat format = imported.format;
  const std::string path = fuzz::ScratchFolder() + (ods ? "/Saved.ods" : "/Saved.xlsx");
  std::filesystem::remove(path);
  std::filesystem::remove(path + ".bak");

  WorkbookEngine engine;
  engine.SetClock([] { return 46000.5; });
  Book& book = engine.LoadImported(std::move(imported), ods ? "Saved.ods" : "Saved.xlsx", path);
  book.source = CaptureSource(book, package);

  // Rows first, so that the cells written afterwards stay where they were written.
  for (const Edit& e : edits)
    if (e.insert && book.SheetCount() > 0) engine.InsertRow(book.SheetAt(0).Id(), e.row);
  std::map<std::tuple<int, int, int>, std::string> written;  // last input per cell
  for (const Edit& e : edits) {
    if (e.insert || e.sheet >= book.SheetCount()) continue;
    engine.SetInput(book.SheetAt(e.sheet).Id(), e.row, e.col, e.input);
    written[{e.sheet, e.row, e.col}] = e.input;
  }

  if (!WriteBookFile(engine, book, path, format, error)) {
    fuzz::Require(!error.empty(), "a refused save gives its reason");
    fuzz::Require(!std::filesystem::exists(path), "a refused save writes no file");
    return 0;
  }

  ImportedBook again;
  std::string againError;
  if (!ReadWorkbookFile(path, again, againError, limits)) {
    std::fprintf(stderr, "saved file does not read back: %s\n", againError.c_str());
    fuzz::Require(false, "a saved file reads back");
  }
  fuzz::Require(static_cast<int>(again.sheets.size()) == book.SheetCount(),
                "a saved file keeps every sheet");
  for (const auto& [where, text] : written) {
    const auto [s, row, col] = where;
    const SheetId id = book.SheetAt(s).Id();
    const Cell* cell = book.SheetAt(s).Find(row, col);
    const ImportedCell* read = FindCell(again.sheets[s], row, col);
    if (cell && cell->formula) {
      fuzz::Require(read && read->kind == ImportedCell::Kind::kFormula,
                    "a changed formula reads back as a formula");
      continue;
    }
    const CellValue expected = engine.Value(id, row, col);
    // The import has no error constants (a typed "#N/A" comes back empty or as text).
    if (expected.kind == ValueKind::kError) continue;
    const CellValue actual = ImportedValue(read);
    if (!SameValue(expected, actual)) {
      std::fprintf(stderr, "cell %d!%d,%d: wrote \"%s\" (%s), read \"%s\"\n", s + 1, row + 1,
                   col + 1, text.c_str(), ValueText(expected).c_str(), ValueText(actual).c_str());
      fuzz::Require(false, "a changed constant reads back as it was set");
    }
  }

  // The saved file opens as the user would open it, and recalculates.
  WorkbookEngine second;
  second.SetClock([] { return 46000.5; });
  Book& reopened = second.LoadImported(std::move(again), book.Name(), path);
  second.FullRecalculation();
  for (int s = 0; s < reopened.SheetCount(); ++s) reopened.SheetAt(s).LastUsed();
  return 0;
}
