// Recalculation speed of the embedded workbook engine on a 10,000-cell model with 2,000
// formulas (8,000 numbers on a data sheet, formulas of mixed kinds on a calculation sheet).
#include <benchmark/benchmark.h>

#include <string>

#include "workbook/EngineModel.h"

namespace ploxen {
namespace {

constexpr int kRows = 1000;

// Builds the model: data!A1:H1000 numbers; calc!A = products of data cells, calc!B = row
// sums plus a reference to column A, every tenth row of calc!C a column total (100 formulas).
struct Model {
  WorkbookEngine engine;
  SheetId data = 0;
  SheetId calc = 0;
  Model() {
    Book& book = engine.NewBook("Bench.xlsx", "/tmp/Bench.xlsx");
    data = book.SheetAt(0).Id();
    engine.RenameSheet(data, "data");
    calc = engine.AddSheet(book.Id(), "calc")->Id();
    for (int r = 0; r < kRows; ++r)
      for (int c = 0; c < 8; ++c) engine.SetNumber(data, r, c, 1.0 + r * 0.5 + c);
    int formulas = 0;
    for (int r = 0; r < kRows; ++r) {
      std::string n = std::to_string(r + 1);
      engine.SetFormula(calc, r, 0, "data!A" + n + "*data!B" + n + "+data!C" + n + "/2");
      ++formulas;
      if (r % 10 == 0) {
        engine.SetFormula(calc, r, 2, "SUM(data!$E$1:$E$1000)/COUNT(data!E:E)+A" + n);
        ++formulas;
      } else {
        engine.SetFormula(calc, r, 1, "SUM(data!D" + n + ":H" + n + ")+IF(A" + n + ">100,A" + n +
                                          ",0)");
        ++formulas;
      }
    }
    engine.RecalculateAll();
  }
};

void BM_BuildAndEvaluate(benchmark::State& state) {
  for (auto _ : state) {
    Model m;
    benchmark::DoNotOptimize(m.engine.Value(m.calc, 0, 0));
  }
}
BENCHMARK(BM_BuildAndEvaluate)->Unit(benchmark::kMillisecond);

void BM_FullRecalculation(benchmark::State& state) {
  Model m;
  for (auto _ : state) {
    m.engine.FullRecalculation();
    benchmark::DoNotOptimize(m.engine.Value(m.calc, kRows - 1, 1));
  }
  state.counters["formulas"] = 2000;
}
BENCHMARK(BM_FullRecalculation)->Unit(benchmark::kMillisecond);

void BM_Write100AndRecalculate(benchmark::State& state) {
  Model m;
  double v = 0.0;
  for (auto _ : state) {
    for (int i = 0; i < 100; ++i) m.engine.SetNumber(m.data, (i * 37) % kRows, i % 8, v + i);
    m.engine.RecalculateAll();
    v += 1.0;
  }
}
BENCHMARK(BM_Write100AndRecalculate)->Unit(benchmark::kMillisecond);

void BM_WriteOneReadDependent(benchmark::State& state) {
  Model m;
  double v = 0.0;
  for (auto _ : state) {
    m.engine.SetNumber(m.data, 500, 3, v);
    benchmark::DoNotOptimize(m.engine.Value(m.calc, 500, 1));
    v += 1.0;
  }
}
BENCHMARK(BM_WriteOneReadDependent)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace ploxen
