// The visualisation's refresh: a visual sheet of 96 fields whose values are formulas into a
// condition sheet, loaded through the embedded engine (texts only, as after a calculation,
// and with positions, as "Update" does).
#include <benchmark/benchmark.h>

#include <string>

#include "app/Ploxen.h"

namespace {

using namespace ploxen;

struct VisualBench {
  TPloxen p{0};
  VisualBench() {
    p.xls.StartExcel();
    SpreadsheetServer* server = p.xls.Server();
    BookHandle book = 0;
    SheetHandle system = 0, visual = 0;
    server->AddBook("Plant.xlsx", book);
    server->SheetItem(book, 1, system);
    server->RenameSheet(system, "System");
    server->AddSheet(book, "Visual", 2, visual);
    server->SetCellValue(visual, 1, 1, "visual");
    server->SetCellValue(visual, 2, 1, "W");
    for (int n = 1; n <= TPresViewWnd::kFieldCount; ++n) {
      server->SetCellValue(system, n, 2, std::to_string(n * 1.5));
      const int row = n + 2;
      server->SetCellValue(visual, row, 1, std::to_string(n));
      server->SetCellValue(visual, row, 2, "V" + std::to_string(n) + ":");
      server->SetCellValue(visual, row, 3, "='System'!B" + std::to_string(n));
      server->SetCellValue(visual, row, 4, "hint");
      for (int c = 5; c <= 8; ++c) server->SetCellValue(visual, row, c, std::to_string(n + c));
    }
    server->SetCellValue(visual, TPresViewWnd::kFieldCount + 3, 1, "EOT");
    p.xls.ListBooks(-1);
    p.visual.FollowBook(p.xls.ProgId, "Plant.xlsx");
    p.visual.SetVisualSheet("Visual");
    p.visual.Refresh();
  }
};

void BM_RefreshAfterCalculation96Fields(benchmark::State& state) {
  VisualBench b;
  if (!b.p.visual.fields[96].visible) state.SkipWithError("the visual sheet was not loaded");
  for (auto _ : state) {
    b.p.visual.RefreshAfterCalculation();
    benchmark::DoNotOptimize(b.p.visual.fields[96].text);
  }
}
BENCHMARK(BM_RefreshAfterCalculation96Fields)->Unit(benchmark::kMillisecond);

void BM_UpdateWithPositions96Fields(benchmark::State& state) {
  VisualBench b;
  for (auto _ : state) {
    b.p.visual.Refresh();
    benchmark::DoNotOptimize(b.p.visual.fields[96].left);
  }
}
BENCHMARK(BM_UpdateWithPositions96Fields)->Unit(benchmark::kMillisecond);

}  // namespace
