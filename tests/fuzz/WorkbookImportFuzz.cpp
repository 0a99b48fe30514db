// Fuzz target for workbook import: .xlsx and .ods bytes through the embedded engine, then every
// stored cell read (value, displayed text, formula text in both syntaxes), one write and one
// full recalculation. An input starting with "PK" is taken as the package itself; any other
// input as "--- part name" sections that are packed into a zip, so that mutations reach the XML.
#include <cstdint>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "workbook/DisplayText.h"
#include "workbook/EngineModel.h"
#include "workbook/OrcusImport.h"

namespace {

using namespace ploxen;

// Reads every stored cell of every sheet the way the program's readers do.
void ReadAllCells(WorkbookEngine& engine, Book& book) {
  for (int s = 0; s < book.SheetCount(); ++s) {
    Sheet& sheet = book.SheetAt(s);
    std::vector<std::pair<int, int>> positions;
    for (const auto& [key, cell] : sheet.Cells()) {
      (void)cell;
      positions.emplace_back(KeyRow(key), KeyCol(key));
    }
    for (const auto& [row, col] : positions) {
      const CellValue value = engine.Value(sheet.Id(), row, col);
      engine.ValueString(sheet.Id(), row, col);
      const Cell* cell = sheet.Find(row, col);
      if (cell && cell->format > 0 && cell->format < static_cast<int>(book.formats.size()))
        DisplayText(value, book.formats[cell->format].numberFormat);
      else
        DisplayText(value, "");
      engine.FormulaText(sheet.Id(), row, col, FormulaSyntax::kA1);
      engine.FormulaText(sheet.Id(), row, col, FormulaSyntax::kOds);
      engine.IsEvaluable(sheet.Id(), row, col);
    }
    sheet.LastUsed();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  std::string package;
  if (input.rfind("PK", 0) == 0)
    package.assign(input);
  else
    package = fuzz::PackStored(fuzz::SplitParts(input));

  ImportLimits limits;
  limits.maxCells = 200'000;
  ImportedBook imported;
  std::string error;
  if (!ReadWorkbookBytes(package, imported, error, limits)) return 0;

  WorkbookEngine engine;
  engine.SetClock([] { return 46000.5; });
  const bool ods = imported.format == BookFormat::kOds;
  Book& book = engine.LoadImported(std::move(imported), ods ? "Fuzz.ods" : "Fuzz.xlsx",
                                   fuzz::ScratchFolder() + (ods ? "/Fuzz.ods" : "/Fuzz.xlsx"));
  ReadAllCells(engine, book);
  // A run writes results into the sheets: every dependent formula must follow.
  if (book.SheetCount() > 0) {
    const SheetId first = book.SheetAt(0).Id();
    engine.SetInput(first, 0, 0, "2.5");
    engine.SetInput(first, 1, 1, "=A1*2");
  }
  engine.FullRecalculation();
  ReadAllCells(engine, book);
  return 0;
}
