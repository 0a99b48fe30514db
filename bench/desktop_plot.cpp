// The "Plot" window drawing a recorder of 1000 rows: the series cut from the cells, the chart
// built again and rendered into an image.
#include <benchmark/benchmark.h>
#include <QImage>
#include <QPainter>
#include <QtCharts/QChartView>
#include <string>
#include <vector>

#include "DesktopMain.h"
#include "app/RecorderPlot.h"
#include "app/RecorderPlotView.h"
#include "support/AplMsg.h"
#include "support/ScriptedDialogs.h"
#include "workbook/XlsObj.h"
#include "workbook/ServerSelector.h"

using namespace ploxen;

namespace {

std::vector<std::vector<std::string>> Recorder(int rows) {
  std::vector<std::vector<std::string>> cells = {{"T [C]", "CO2", "CO", "NO", "O2", "EOT"}};
  for (int r = 0; r < rows; ++r) {
    const double t = 1000.0 + 1.5 * r;
    cells.push_back({std::to_string(t), std::to_string(0.9 - r * 1e-4),
                     std::to_string(1e-3 + r * 1e-5), std::to_string(1e-4 * (1 + r % 7)),
                     std::to_string(0.2 + r * 1e-6)});
  }
  return cells;
}

void BM_PlotOfA1000RowRecorder(benchmark::State& state) {
  TAplMsgWnd log;
  ServerSelector servers(log);
  TXlsWnd xls(log, servers);
  ScriptedDialogs dialogs;
  TRecorderPlot plot(log);
  TRecorderPlotView view(plot, xls, dialogs);
  view.resize(900, 560);
  const auto cells = Recorder(1000);
  QImage image(900, 560, QImage::Format_ARGB32);
  for (auto _ : state) {
    plot.Extract(cells);
    view.Redraw();
    QPainter painter(&image);
    view.ChartView()->render(&painter);
  }
}
BENCHMARK(BM_PlotOfA1000RowRecorder)->Unit(benchmark::kMillisecond)->Iterations(20);

}  // namespace

int main(int argc, char** argv) {
  return ploxen::bench::RunDesktopBenchmarks(argc, argv);
}
