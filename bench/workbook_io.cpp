// Open + write 100 cells + recalculate + save with the embedded workbook engine, for a small
// process workbook (6 sheets, ~200 cells) and a 10,000-cell workbook, in .xlsx and .ods, and
// for the 10,000-cell .xlsx with a 1 MB picture, which a save carries over unchanged.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "support/AplMsg.h"
#include "support/FileIO.h"
#include "workbook/BookWriter.h"
#include "workbook/EmbeddedServer.h"
#include "workbook/EngineModel.h"
#include "workbook/ImportedBook.h"
#include "workbook/OrcusImport.h"
#include "workbook/PackageZip.h"
#include "workbook/SourcePackage.h"

namespace ploxen {
namespace {

namespace fs = std::filesystem;

fs::path BenchFolder() {
  static const fs::path dir = [] {
    // PLOXEN_BENCH_DIR=/dev/shm measures without the disk's flush on replacing a file.
    const char* base = std::getenv("PLOXEN_BENCH_DIR");
    fs::path root = base && *base ? fs::path(base) : fs::temp_directory_path();
    fs::path d = root / ("ploxen_bench_io_" + std::to_string(::getpid()));
    fs::create_directories(d);
    return d;
  }();
  return dir;
}

/// A process-like book: a condition sheet and five phase sheets of compounds with amounts,
/// amounts in kmol through a cross-sheet factor, and mole fractions.
void FillSmall(EmbeddedServer& s, BookHandle book) {
  SheetHandle system = 0;
  s.SheetItem(book, 1, system);
  s.RenameSheet(system, "System");
  s.SetCellValue(system, 1, 1, "eql");
  s.SetCellValue(system, 2, 1, "T");
  s.SetCellValue(system, 2, 2, "1000");
  s.SetCellValue(system, 3, 1, "P");
  s.SetCellValue(system, 3, 2, "1.01325");
  for (int k = 1; k <= 5; ++k) {
    SheetHandle phase = 0;
    std::string name = "gas." + std::to_string(k);
    s.AddSheet(book, name, k + 1, phase);
    s.SetCellValue(system, 4 + k, 1, name);
    s.SetCellValue(phase, 1, 1, "(g)");
    for (int r = 2; r <= 9; ++r) {
      std::string row = std::to_string(r);
      std::string formula = "C";
      formula += row;
      formula += 'H';
      formula += std::to_string(2 * r);
      s.SetCellValue(phase, r, 1, formula);
      s.SetCellValue(phase, r, 2, std::to_string(r * 0.5));
      s.SetCellValue(phase, r, 3, "=B" + row + "*System!$B$2/1000");
      s.SetCellValue(phase, r, 4, "=C" + row + "/SUM(C$2:C$9)");
    }
    s.SetCellValue(phase, 10, 1, "EOT");
    s.SetCellValue(phase, 10, 3, "=SUM(C2:C9)");
    s.SetCellValue(system, 4 + k, 2, "='" + name + "'!C10");
  }
}

/// A data book: 2,000 rows of text and three numbers with one formula each.
void FillLarge(EmbeddedServer& s, BookHandle book) {
  SheetHandle data = 0, sum = 0;
  s.SheetItem(book, 1, data);
  s.RenameSheet(data, "Data");
  s.AddSheet(book, "Summary", 2, sum);
  for (int r = 1; r <= 2000; ++r) {
    std::string row = std::to_string(r);
    s.SetCellValue(data, r, 1, "item " + row);
    s.SetCellValue(data, r, 2, std::to_string(r % 97 + 0.25));
    s.SetCellValue(data, r, 3, std::to_string(r % 13 + 1));
    s.SetCellValue(data, r, 4, std::to_string(r * 0.001));
    s.SetCellValue(data, r, 5, "=B" + row + "*C" + row + "+D" + row);
  }
  for (int c = 1; c <= 11; ++c)
    s.SetCellValue(sum, c, 1, "=SUM(Data!E1:E" + std::to_string(c * 180) + ")");
}

/// Path of a benchmark book, made once per process.
std::string BenchBook(bool large, bool ods) {
  std::string name = std::string(large ? "Large" : "Small") + (ods ? ".ods" : ".xlsx");
  fs::path path = BenchFolder() / name;
  if (!fs::exists(path)) {
    TAplMsgWnd log;
    EmbeddedServer s(log);
    BookHandle book = 0;
    s.AddBook("", book);
    if (large)
      FillLarge(s, book);
    else
      FillSmall(s, book);
    if (!s.SaveBookAs(book, path.string())) std::abort();
  }
  return path.string();
}

/// The large .xlsx book with a 1 MB picture (incompressible data) shown on its first sheet.
std::string BenchBookWithImage() {
  fs::path path = BenchFolder() / "LargeImage.xlsx";
  if (fs::exists(path)) return path.string();
  std::string bytes, error;
  if (ReadFileBytes(BenchBook(true, false), bytes) != 1) std::abort();
  ZipPackage package;
  std::string sheet, sheetRels, types;
  if (!package.Open(bytes, error) || !package.Read("xl/worksheets/sheet1.xml", sheet) ||
      !package.Read("[Content_Types].xml", types))
    std::abort();
  std::string image(1 << 20, '\0');
  std::uint32_t x = 12345;
  for (char& c : image) c = static_cast<char>((x = x * 1664525u + 1013904223u) >> 24);
  PackageEdits edits;
  edits.put["xl/media/image1.png"] = image;
  edits.put["xl/drawings/drawing1.xml"] =
      "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<xdr:wsDr "
      "xmlns:xdr=\"http://schemas.openxmlformats.org/drawingml/2006/spreadsheetDrawing\" "
      "xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\" "
      "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
      "<xdr:oneCellAnchor><xdr:from><xdr:col>7</xdr:col><xdr:colOff>0</xdr:colOff><xdr:row>1"
      "</xdr:row><xdr:rowOff>0</xdr:rowOff></xdr:from><xdr:ext cx=\"2000000\" cy=\"1000000\"/>"
      "<xdr:pic><xdr:nvPicPr><xdr:cNvPr id=\"2\" name=\"Picture 1\"/><xdr:cNvPicPr/>"
      "</xdr:nvPicPr><xdr:blipFill><a:blip r:embed=\"rId1\"/><a:stretch><a:fillRect/>"
      "</a:stretch></xdr:blipFill><xdr:spPr><a:prstGeom prst=\"rect\"><a:avLst/></a:prstGeom>"
      "</xdr:spPr></xdr:pic><xdr:clientData/></xdr:oneCellAnchor></xdr:wsDr>";
  edits.put["xl/drawings/_rels/drawing1.xml.rels"] =
      "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<Relationships "
      "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\"><Relationship "
      "Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/"
      "image\" Target=\"../media/image1.png\"/></Relationships>";
  edits.put["xl/worksheets/_rels/sheet1.xml.rels"] =
      "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<Relationships "
      "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\"><Relationship "
      "Id=\"rIdImg\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/"
      "relationships/drawing\" Target=\"../drawings/drawing1.xml\"/></Relationships>";
  sheet.insert(sheet.rfind("</worksheet>"), "<drawing r:id=\"rIdImg\"/>");
  if (sheet.find("xmlns:r=") == std::string::npos)
    sheet.insert(
        sheet.find("<worksheet ") + 11,
        "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\" ");
  edits.put["xl/worksheets/sheet1.xml"] = sheet;
  types.insert(types.rfind("</Types>"),
               "<Default Extension=\"png\" ContentType=\"image/png\"/><Override "
               "PartName=\"/xl/drawings/drawing1.xml\" ContentType=\"application/"
               "vnd.openxmlformats-officedocument.drawing+xml\"/>");
  edits.put["[Content_Types].xml"] = types;
  std::string out;
  if (!EditPackage(bytes, edits, out, error) || !WriteFileAtomic(path.string(), out, false))
    std::abort();
  return path.string();
}

void OpenWriteRecalcSave(benchmark::State& state, bool large, bool ods, bool image = false) {
  const std::string path = image ? BenchBookWithImage() : BenchBook(large, ods);
  TAplMsgWnd log;
  for (auto _ : state) {
    EmbeddedServer s(log);
    BookHandle book = 0;
    if (!s.OpenBook(path, false, book)) {
      state.SkipWithError(s.LastErrorText().c_str());
      break;
    }
    SheetHandle sheet = 0;
    s.SheetItem(book, large ? 1 : 2, sheet);
    for (int i = 0; i < 100; ++i) {
      int row = large ? 1 + i * 19 : 2 + i % 8;
      s.SetCellValue(sheet, row, 2, std::to_string(1.5 + i));
    }
    SheetHandle result = 0;
    s.SheetItem(book, large ? 2 : 1, result);
    std::string text;
    s.CellValue(result, large ? 11 : 5, large ? 1 : 2, text);  // recalculates what changed
    benchmark::DoNotOptimize(text);
    if (!s.SaveBook(book)) {
      state.SkipWithError(s.LastErrorText().c_str());
      break;
    }
  }
}

void BM_SmallXlsx(benchmark::State& state) {
  OpenWriteRecalcSave(state, false, false);
}
void BM_SmallOds(benchmark::State& state) {
  OpenWriteRecalcSave(state, false, true);
}
void BM_LargeXlsx(benchmark::State& state) {
  OpenWriteRecalcSave(state, true, false);
}
void BM_LargeOds(benchmark::State& state) {
  OpenWriteRecalcSave(state, true, true);
}
void BM_LargeXlsxWithImage(benchmark::State& state) {
  OpenWriteRecalcSave(state, true, false, true);
}

/// The same open + 100 writes + save of the large book below the server, once into the file's
/// package and once by the writer that builds the file anew (what a save did before books kept
/// their package), so that both are measured on the same machine in the same run.
void EngineOpenWriteSave(benchmark::State& state, bool ods, bool keepPackage) {
  // Each variant starts from its own copy of the same file.
  const fs::path path = BenchFolder() / (std::string(keepPackage ? "Kept" : "New") +
                                         (ods ? "Large.ods" : "Large.xlsx"));
  fs::copy_file(BenchBook(true, ods), path, fs::copy_options::overwrite_existing);
  for (auto _ : state) {
    WorkbookEngine engine;
    std::string bytes, error;
    ImportedBook imported;
    if (ReadFileBytes(path.string(), bytes) != 1 || !ReadWorkbookBytes(bytes, imported, error)) {
      state.SkipWithError("the book cannot be read");
      break;
    }
    Book& book = engine.LoadImported(std::move(imported), path.filename().string(), path.string());
    if (keepPackage) book.source = CaptureSource(book, std::move(bytes));
    const SheetId data = book.SheetAt(0).Id();
    for (int i = 0; i < 100; ++i) engine.SetInput(data, i * 19, 1, std::to_string(1.5 + i));
    benchmark::DoNotOptimize(engine.Value(book.SheetAt(1).Id(), 10, 0));
    if (!WriteBookFile(engine, book, path.string(), ods ? BookFormat::kOds : BookFormat::kXlsx,
                       error)) {
      state.SkipWithError(error.c_str());
      break;
    }
  }
}

void BM_LargeXlsxKeptPackage(benchmark::State& state) {
  EngineOpenWriteSave(state, false, true);
}
void BM_LargeXlsxNewWriter(benchmark::State& state) {
  EngineOpenWriteSave(state, false, false);
}
void BM_LargeOdsKeptPackage(benchmark::State& state) {
  EngineOpenWriteSave(state, true, true);
}
void BM_LargeOdsNewWriter(benchmark::State& state) {
  EngineOpenWriteSave(state, true, false);
}

BENCHMARK(BM_SmallXlsx)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SmallOds)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LargeXlsx)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LargeOds)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LargeXlsxWithImage)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LargeXlsxKeptPackage)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LargeXlsxNewWriter)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LargeOdsKeptPackage)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LargeOdsNewWriter)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace ploxen
