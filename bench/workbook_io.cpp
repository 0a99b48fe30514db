// Open + write 100 cells + recalculate + save with the embedded workbook engine, for a small
// process workbook (6 sheets, ~200 cells) and a 10,000-cell workbook, in .xlsx and .ods.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "support/AplMsg.h"
#include "workbook/EmbeddedServer.h"

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

void OpenWriteRecalcSave(benchmark::State& state, bool large, bool ods) {
  const std::string path = BenchBook(large, ods);
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

BENCHMARK(BM_SmallXlsx)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SmallOds)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LargeXlsx)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LargeOds)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace ploxen
