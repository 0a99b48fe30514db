// Fuzz target for the formula parser, printer and evaluator. The first byte picks the syntax
// (A1 or OpenDocument) and a shared-formula shift; the rest is the formula text. A parsed
// formula printed in either syntax must parse back to the same tree, and its evaluation in a
// small book (values, text, booleans, errors, a second sheet, a dependent cell) must finish.
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "workbook/EngineModel.h"
#include "workbook/FormulaParser.h"

namespace {

using namespace ploxen;

bool SameCoord(const RefCoord& a, const RefCoord& b) {
  return a.row == b.row && a.col == b.col && a.rowAbs == b.rowAbs && a.colAbs == b.colAbs;
}

bool SameTarget(const RefTarget& a, const RefTarget& b) {
  return a.sheetId == b.sheetId && a.link == b.link && a.extSheet == b.extSheet &&
         a.explicitSheet == b.explicitSheet;
}

// TRUE and FALSE are words in A1 text and calls "TRUE()" in OpenDocument text.
bool SameBoolean(const FormulaNode& a, const FormulaNode& b) {
  const FormulaNode& call = a.kind == NodeKind::kFunction ? a : b;
  const FormulaNode& word = a.kind == NodeKind::kFunction ? b : a;
  return word.kind == NodeKind::kBoolean && call.kind == NodeKind::kFunction &&
         call.args.empty() && call.text == (word.number != 0.0 ? "TRUE" : "FALSE");
}

// Two trees mean the same formula: same nodes, literals bit for bit, same references.
bool SameTree(const FormulaNode& a, const FormulaNode& b) {
  if (SameBoolean(a, b)) return true;
  if (a.kind != b.kind || a.args.size() != b.args.size()) return false;
  switch (a.kind) {
    case NodeKind::kNumber:
    case NodeKind::kBoolean:
      if (std::memcmp(&a.number, &b.number, sizeof a.number) != 0) return false;
      break;
    case NodeKind::kText: if (a.text != b.text) return false; break;
    case NodeKind::kError: if (a.error != b.error) return false; break;
    case NodeKind::kRange:
      if (a.form != b.form || !SameCoord(a.b, b.b)) return false;
      [[fallthrough]];
    case NodeKind::kRef:
      if (!SameTarget(a.target, b.target) || !SameCoord(a.a, b.a)) return false;
      break;
    case NodeKind::kUnary:
    case NodeKind::kBinary: if (a.op != b.op) return false; break;
    case NodeKind::kFunction:
      if (a.text != b.text || a.function != b.function) return false;
      break;
    case NodeKind::kPercent:
    case NodeKind::kParen:
    case NodeKind::kMissing: break;
  }
  for (std::size_t i = 0; i < a.args.size(); ++i)
    if (!SameTree(*a.args[i], *b.args[i])) return false;
  return true;
}

// Contexts over the sheets of `book` and a list of external book names.
struct Contexts {
  Contexts(WorkbookEngine& engine, Book& book, SheetId sheet, int shiftRows, int shiftCols) {
    parse.sheet = sheet;
    parse.shiftRows = shiftRows;
    parse.shiftCols = shiftCols;
    parse.findSheet = [&book](std::string_view name) -> SheetId {
      const int i = book.FindSheet(name);
      return i < 0 ? 0 : book.SheetAt(i).Id();
    };
    parse.findLink = [this, &book](std::string_view name) -> int {
      if (name == book.Name()) return -2;
      for (std::size_t i = 0; i < links.size(); ++i)
        if (links[i] == name) return static_cast<int>(i);
      links.emplace_back(name);
      return static_cast<int>(links.size() - 1);
    };
    print.sheet = sheet;
    print.sheetName = [&engine](SheetId id) {
      const Sheet* s = engine.FindSheet(id);
      return s ? s->Name() : std::string("#REF!");
    };
    print.linkName = [this](int index, bool) {
      return index >= 0 && index < static_cast<int>(links.size()) ? links[index] : std::string();
    };
  }
  ParseContext parse;
  PrintContext print;
  std::vector<std::string> links;
};

void CheckRoundTrip(const FormulaNode& tree, FormulaSyntax syntax, Contexts& ctx) {
  const std::string printed = PrintFormula(tree, syntax, ctx.print);
  ParseContext plain = ctx.parse;
  plain.shiftRows = plain.shiftCols = 0;
  const ParseResult again = ParseFormula(printed, syntax, plain);
  // FUZZ_SHOW=1 prints what a finding printed, to see where the round trip breaks.
  if (std::getenv("FUZZ_SHOW")) std::fprintf(stderr, "printed: %s\n", printed.c_str());
  fuzz::Require(again.tree != nullptr, "a printed formula parses again");
  fuzz::Require(SameTree(tree, *again.tree), "a printed formula parses to the same tree");
}

void FillBook(WorkbookEngine& engine, SheetId main, SheetId gas) {
  engine.SetNumber(main, 0, 0, 2.5);
  engine.SetNumber(main, 1, 0, -4);
  engine.SetText(main, 2, 0, "H2O");
  engine.SetText(main, 3, 0, "12");
  engine.SetBoolean(main, 4, 0, true);
  engine.SetError(main, 5, 0, ErrorCode::kDiv0);
  engine.SetNumber(main, 0, 1, 1e300);
  engine.SetNumber(gas, 0, 0, 7);
  engine.SetText(gas, 1, 2, "gas");
  engine.SetFormula(gas, 4, 4, "=System!C3*2");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const FormulaSyntax syntax = (data[0] & 1) ? FormulaSyntax::kOds : FormulaSyntax::kA1;
  const int shiftRows = (data[0] >> 1) & 3;
  const int shiftCols = (data[0] >> 3) & 3;
  const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);

  WorkbookEngine engine;
  engine.SetClock([] { return 46000.5; });
  Book& book = engine.AddBook("Fuzz.xlsx", "/tmp/Fuzz.xlsx", BookFormat::kXlsx);
  const SheetId main = engine.AddSheet(book.Id(), "System")->Id();
  const SheetId gas = engine.AddSheet(book.Id(), "gas.1")->Id();
  FillBook(engine, main, gas);

  Contexts ctx(engine, book, main, shiftRows, shiftCols);
  const ParseResult parsed = ParseFormula(text, syntax, ctx.parse);
  if (parsed.tree) {
    CheckRoundTrip(*parsed.tree, FormulaSyntax::kA1, ctx);
    CheckRoundTrip(*parsed.tree, FormulaSyntax::kOds, ctx);
  }

  engine.SetFormula(main, 2 + shiftRows, 2 + shiftCols, text, syntax, shiftRows, shiftCols);
  engine.ValueString(main, 2 + shiftRows, 2 + shiftCols);
  engine.ValueString(gas, 4, 4);
  engine.FormulaText(main, 2 + shiftRows, 2 + shiftCols, FormulaSyntax::kA1);
  engine.FormulaText(main, 2 + shiftRows, 2 + shiftCols, FormulaSyntax::kOds);
  // A row inserted above moves the formula's references; its regenerated text must hold.
  engine.InsertRow(main, 1);
  engine.ValueString(main, 3 + shiftRows, 2 + shiftCols);
  engine.FormulaText(main, 3 + shiftRows, 2 + shiftCols, FormulaSyntax::kA1);
  engine.SetNumber(main, 1, 0, 3);
  engine.ValueString(gas, 4, 4);
  return 0;
}
