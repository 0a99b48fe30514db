// Compound dialog figures on the full database: opening it for a gas sheet with every element
// selected (model and both lists shown), and one keystroke of the element filter.
#include <benchmark/benchmark.h>
#include <unistd.h>
#include <QAbstractItemModel>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTableView>
#include <QTest>
#include <filesystem>

#include "gui/DesktopSession.h"
#include "support/ScriptedDialogs.h"
#include "thermo/CompoundsView.h"

namespace fs = std::filesystem;
using namespace ploxen;

namespace {

/// A session on the shipped database with every element of the table selected.
struct Session {
  Session() : s(0, &dialogs) {
    const fs::path docs =
        fs::temp_directory_path() / ("ploxen_bench_compounds_" + std::to_string(::getpid()));
    fs::create_directories(docs);
    s.p->settings.SetDocumentsFolder(docs.string());
    s.Start({}, false);
    for (int i = 0; i <= s.p->elements.LastElementIndex(); ++i) s.p->calc.elementFlags[i] = 1;
    StringGrid& grid = s.p->calc.slots[1].grid;
    grid.SetRowCount(4);
    grid.SetCell(0, 1, "CO2 (g)");
    grid.SetCell(0, 2, "H2O (g)");
    grid.SetCell(0, 3, "N2 (g)");
  }
  ScriptedDialogs dialogs;
  DesktopSession s;
};

void BM_OpenCompoundDialogOnFullDatabase(benchmark::State& state) {
  Session session;
  DesktopSession& s = session.s;
  if (s.p->thermo.Database().RecordCount() < 4000) state.SkipWithError("not the full database");
  TCompoundsDlgView* view = s.compounds;
  view->show();
  for (auto _ : state) {
    s.p->compounds.OpenForPhase("Gas", &s.p->calc.slots[1].grid, "*");
    view->Refresh();
    view->repaint();  // the first screen of both lists drawn
  }
  state.counters["rows"] = view->Source()->model()->rowCount();
  state.counters["records"] = s.p->thermo.Database().RecordCount();
}
BENCHMARK(BM_OpenCompoundDialogOnFullDatabase)->Unit(benchmark::kMillisecond)->MinTime(1.0);

void BM_ElementFilterKeystroke(benchmark::State& state) {
  Session session;
  DesktopSession& s = session.s;
  TCompoundsDlgView* view = s.compounds;
  s.p->compounds.OpenForPhase("Gas", &s.p->calc.slots[1].grid, "*");
  view->Refresh();
  view->show();
  QLineEdit* edit = view->CbxEl()->lineEdit();
  edit->clear();
  const char* keys[] = {"C", "l"};  // "C", then "Cl", then back to everything
  int k = 0;
  for (auto _ : state) {
    if (k == 2) {
      edit->clear();
    } else {
      QTest::keyClick(edit, keys[k][0]);
    }
    view->repaint();
    k = (k + 1) % 3;
  }
  state.counters["rows"] = view->Source()->model()->rowCount();
}
BENCHMARK(BM_ElementFilterKeystroke)->Unit(benchmark::kMillisecond)->MinTime(1.0);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  ::benchmark::Initialize(&argc, argv);
  ::benchmark::RunSpecifiedBenchmarks();
  ::benchmark::Shutdown();
  return 0;
}
