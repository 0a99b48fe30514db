// Inverse calculation: the least-squares fit at its largest size, and the inverse run of the
// flue-gas example (read, fit, write) with the workbook already open.
#include <benchmark/benchmark.h>

#include "ExampleBook.h"
#include "linalg/LiGlSys.h"

namespace {

// 2048 rows of `columns` data columns: normal equations and elimination.
void BM_FitFullTable(benchmark::State& state) {
  const int columns = static_cast<int>(state.range(0));
  ploxen::LiGlSys fit;
  fit.ClearFit();
  for (int r = 1; r <= ploxen::LiGlSys::kMaxRows; ++r) {
    double observed = 0.0;
    for (int c = 1; c <= columns; ++c) {
      // Well-conditioned and deterministic: a dominant entry per row plus small noise.
      const double v = (r % columns + 1 == c ? 3.0 : 0.0) + 0.001 * ((r * 31 + c * 17) % 97);
      fit.SetData(r, c, v);
      observed += v * c;
    }
    fit.SetObserved(r, observed);
  }
  for (auto _ : state) {
    if (!fit.Fit(ploxen::LiGlSys::kMaxRows, columns)) {
      state.SkipWithError("the fit failed");
      break;
    }
    benchmark::DoNotOptimize(fit.Coefficient(1));
  }
}
BENCHMARK(BM_FitFullTable)->Arg(10)->Arg(128)->Unit(benchmark::kMillisecond);

// The inverse run of examples/Inverse.xlsx: condition sheet, phase sheets, matrix, results.
void BM_InverseRun(benchmark::State& state) {
  const std::string book = ploxen::bench::ScratchExample("Inverse.xlsx").string();
  ploxen::TPloxen p(0);
  ploxen::XlsProcessWorkbook workbook(p.xls);
  if (!ploxen::bench::OpenForRun(p, workbook, book)) {
    state.SkipWithError("the example cannot be opened");
    return;
  }
  for (auto _ : state) {
    p.recalc.RunInverse();
    if (!p.recalc.Succeeded()) {
      state.SkipWithError("the inverse calculation failed");
      break;
    }
  }
}
BENCHMARK(BM_InverseRun)->Unit(benchmark::kMillisecond);

}  // namespace
