// Grid figures: one repaint of a 2048-row phase grid while the user scrolls, in the
// "Thermodynamic System" window and in a bare grid view set up as every grid window sets it
// up, the latter with the number of the item model's data() calls per repaint.
#include <benchmark/benchmark.h>
#include <QApplication>
#include <QScrollBar>
#include <QTableView>
#include <QTest>

#include <string>

#include "DesktopMain.h"
#include "app/Ploxen.h"
#include "gui/GridSetup.h"
#include "gui/StringGridModel.h"
#include "process/EqlCalcXView.h"

using namespace ploxen;

namespace {

constexpr int kRows = 2048;

/// A full phase grid: 2048 compounds with a number in every result column.
void FillGrid(StringGrid& g) {
  g.Resize(kGridColumns, kRows + 1);
  const char* headers[] = {"(g)",  "In [mol]", "Out [mol]", "x [mol/mol]", "f", "f.c.",
                           "rel.", "inf.",     "T(in)",     "I",           "J"};
  for (int c = 0; c < kGridColumns; ++c) g.SetCell(c, 0, headers[c]);
  for (int r = 1; r <= kRows; ++r) {
    g.SetCell(0, r, "C" + std::to_string(r) + "H" + std::to_string(2 * r + 2) + " (g)");
    for (int c = 1; c < kGridColumns; ++c) {
      g.SetCell(c, r, std::to_string(r * 0.001234 + c) + "E-05");
    }
  }
}

/// Scrolls one step further (wrapping at the end) and paints the viewport at once.
void ScrollAndRepaint(QTableView* view, int& position) {
  QScrollBar* bar = view->verticalScrollBar();
  position = position + 3 > bar->maximum() ? 0 : position + 3;
  bar->setValue(position);
  view->viewport()->repaint();
}

class CountingModel : public StringGridModel {
 public:
  using StringGridModel::StringGridModel;
  QVariant data(const QModelIndex& index, int role) const override {
    ++calls;
    return StringGridModel::data(index, role);
  }
  mutable long long calls = 0;
};

void BM_SystemWindowGridRepaintWhileScrolling(benchmark::State& state) {
  TPloxen p(0);
  TEqlCalcWnd& calc = p.calc;
  FillGrid(calc.slots[1].grid);
  calc.slots[1].tabVisible = true;
  TEqlCalcWndView window(calc, p.table, p.dialogs, p.exportBook, {});
  window.resize(900, 600);
  window.show();
  if (!QTest::qWaitForWindowExposed(&window)) state.SkipWithError("window not shown");
  QTableView* view = window.Grid(1);
  int position = 0;
  for (auto _ : state) ScrollAndRepaint(view, position);
}
BENCHMARK(BM_SystemWindowGridRepaintWhileScrolling)->Unit(benchmark::kMillisecond)->MinTime(1.0);

void BM_GridRepaintDataCalls(benchmark::State& state) {
  StringGrid grid;
  FillGrid(grid);
  QTableView view;
  CountingModel model(grid);
  view.setModel(&model);
  SetUpGridView(&view, grid);
  view.resize(900, 600);
  view.show();
  if (!QTest::qWaitForWindowExposed(&view)) state.SkipWithError("view not shown");
  int position = 0;
  long long repaints = 0;
  model.calls = 0;
  for (auto _ : state) {
    ScrollAndRepaint(&view, position);
    ++repaints;
  }
  state.counters["data_calls_per_repaint"] =
      benchmark::Counter(static_cast<double>(model.calls) / static_cast<double>(repaints));
  state.counters["visible_cells"] = benchmark::Counter(static_cast<double>(
      (view.rowAt(view.viewport()->height() - 1) - view.rowAt(0) + 1) * model.columnCount()));
}
BENCHMARK(BM_GridRepaintDataCalls)->Unit(benchmark::kMillisecond)->MinTime(1.0);

}  // namespace

int main(int argc, char** argv) {
  return ploxen::bench::RunDesktopBenchmarks(argc, argv);
}
