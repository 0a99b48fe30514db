// Desktop figures: the start to a shown main window, and an interactive calculation of
// examples/Process.xlsx from the click on "Calculation" to the log's success message, without
// and with the save that follows it. Runs on any Qt platform (offscreen by default).
#include <benchmark/benchmark.h>
#include <unistd.h>
#include <QAction>
#include <QApplication>
#include <QTest>
#include <filesystem>

#include "DesktopMain.h"
#include "app/CalcStartView.h"
#include "gui/DesktopSession.h"
#include "support/ScriptedDialogs.h"

namespace fs = std::filesystem;
using namespace ploxen;

namespace {

fs::path Scratch() {
  static const fs::path dir = [] {
    fs::path d = fs::temp_directory_path() / ("ploxen_bench_desktop_" + std::to_string(::getpid()));
    fs::create_directories(d / "docs");
    fs::copy_file(fs::path(PLOXEN_SOURCE_DIR) / "examples" / "Process.xlsx", d / "Process.xlsx",
                  fs::copy_options::overwrite_existing);
    return d;
  }();
  return dir;
}

bool Succeeded(const TAplMsgWnd& log) {
  for (const LogEntry& e : log.Entries()) {
    if (e.number == 1593) return true;
  }
  return false;
}

void BM_DesktopStartToShownMainWindow(benchmark::State& state) {
  for (auto _ : state) {
    ScriptedDialogs dialogs;
    DesktopSession s(0, &dialogs);
    s.p->settings.SetDocumentsFolder((Scratch() / "docs").string());
    s.Start({}, true);
    if (!QTest::qWaitForWindowExposed(s.main)) state.SkipWithError("main window not shown");
    state.PauseTiming();
    s.main->hide();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_DesktopStartToShownMainWindow)->Unit(benchmark::kMillisecond)->Iterations(10);

void Calculation(benchmark::State& state, bool save) {
  ScriptedDialogs dialogs;
  DesktopSession s(0, &dialogs);
  s.p->settings.SetDocumentsFolder((Scratch() / "docs").string());
  s.Start({}, false);
  s.main->OpenFile((Scratch() / "Process.xlsx").string());
  QAction* saveAfter = s.main->Command("MnuSaveAfterCalculation");
  saveAfter->setChecked(save);
  for (auto _ : state) {
    s.main->Command("ButtonCalculate")->trigger();
    if (!Succeeded(s.p->log)) state.SkipWithError("no success message");
  }
}

void BM_InteractiveCalculation(benchmark::State& state) {
  Calculation(state, false);
}
BENCHMARK(BM_InteractiveCalculation)->Unit(benchmark::kMillisecond)->MinTime(1.0);

void BM_InteractiveCalculationAndSave(benchmark::State& state) {
  Calculation(state, true);
}
BENCHMARK(BM_InteractiveCalculationAndSave)->Unit(benchmark::kMillisecond)->MinTime(1.0);

}  // namespace

int main(int argc, char** argv) {
  const int status = ploxen::bench::RunDesktopBenchmarks(argc, argv);
  fs::remove_all(Scratch());
  return status;
}
