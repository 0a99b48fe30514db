// Renders every window of the desktop with an example workbook open into PNG files, on any
// Qt platform (offscreen included), so that a reviewer sees the windows without a display.
#include <unistd.h>
#include <QApplication>
#include <QPushButton>
#include <QToolButton>
#include <QDir>
#include <QLocale>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <cstdio>
#include <filesystem>
#include <string>

#include "app/AboutView.h"
#include "app/CalcStartView.h"
#include "app/ParamPanelView.h"
#include "app/RecorderPlotView.h"
#include "app/StartShwView.h"
#include "balance/ElBalanceView.h"
#include "balance/XelBalView.h"
#include "chem/ElementsView.h"
#include "gui/DesktopSession.h"
#include "gui/Icons.h"
#include "kernel/EqKernelView.h"
#include "linalg/LSolverView.h"
#include "process/SetStFnView.h"
#include "process/EqlCalcXView.h"
#include "support/AplMsgView.h"
#include "process/SlotCompounds.h"
#include "support/ScriptedDialogs.h"
#include "thermo/CompoundsView.h"
#include "thermo/TDynOprtView.h"
#include "visual/PresViewView.h"
#include "workbook/XlsObjView.h"

namespace fs = std::filesystem;
using namespace ploxen;

namespace {

bool Save(QWidget* w, const QString& folder, const char* name) {
  w->show();
  QApplication::processEvents();
  const QString path = folder + "/" + name + ".png";
  const bool ok = w->grab().save(path);
  std::printf("%s %s\n", ok ? "wrote" : "FAILED", path.toLocal8Bit().constData());
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "Usage: ploxen_screenshots OUTDIR EXAMPLE.xlsx\n");
    return 2;
  }
  QApplication app(argc, argv);
  QApplication::setWindowIcon(AppIcon());
  const QString out = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
  QDir().mkpath(out);
  // Settings and the workbook copy live in a scratch folder: nothing of the user's changes.
  const fs::path scratch =
      fs::temp_directory_path() / ("ploxen_screens_" + std::to_string(::getpid()));
  fs::create_directories(scratch / "docs");
  const fs::path book = scratch / fs::path(argv[2]).filename();
  fs::copy_file(argv[2], book, fs::copy_options::overwrite_existing);

  ScriptedDialogs dialogs;
  bool ok = true;
  {
    DesktopSession s(0, &dialogs);
    s.p->settings.SetDocumentsFolder((scratch / "docs").string());
    s.Start({}, false);
    s.main->OpenFile(book.string());
    s.main->Command("ButtonCalculate")->trigger();
    s.main->move(40, 40);
    ok &= Save(s.main, out, "main-window");
    s.p->log.SetFilter(6);
    s.p->log.Post(kMsgError, 1, "An error as the log shows it");
    s.p->log.Post(kMsgCritical, 2, "A critical message");
    s.log->Refresh();
    s.log->resize(760, 320);
    ok &= Save(s.log, out, "messages");
    ok &= Save(s.criteria, out, "calculation-criteria");
    ok &= Save(s.behaviour, out, "behaviour-of-system");
    s.p->xls.CbxSheet.itemIndex = 1;
    s.xls->Refresh();
    s.p->xls.ReadClick();
    s.xls->Refresh();
    s.xls->Grid()->model()->layoutChanged();
    s.xls->resize(820, 420);
    ok &= Save(s.xls, out, "workbook-interface");
    ok &= Save(s.about, out, "about");
    // The system window as the calculation left it.
    s.system->Refresh();
    s.system->resize(900, 460);
    ok &= Save(s.system, out, "thermodynamic-system");
    s.main->Command("MnuLagrang")->trigger();
    ok &= Save(s.matrix, out, "system-matrix");
    s.ShowElementarBalance();
    s.elBalance->ButtonUpdate()->click();
    ok &= Save(s.elBalance, out, "elementar-balance");
    s.elBalance->hide();
    s.main->Command("BtnStateFunc")->trigger();
    ok &= Save(s.stateFunctions, out, "state-functions");
    s.stateFunctions->hide();
    s.main->Command("MnuElementBalance1")->trigger();
    ok &= Save(s.xelBalance, out, "element-balance");
    s.elements->Open();  // the elements of the calculated system
    ok &= Save(s.elements, out, "elements");
    OpenCompoundsForSlot(s.p->compounds, s.p->calc, 1);
    s.compounds->Refresh();
    ok &= Save(s.compounds, out, "compounds");
    s.p->main.splashUpper = book.filename().string();
    s.p->main.splashLower = "attemting to readSystem";
    s.p->main.splashVisible = true;
    s.splash->Refresh();
    ok &= Save(s.splash, out, "splash");
    // The visual sheet of the template over its process picture, found beside the book.
    std::error_code ec;
    fs::copy_file(fs::path(argv[2]).parent_path() / "visual.jpg", scratch / "visual.jpg",
                  fs::copy_options::overwrite_existing, ec);
    s.main->Command("BtnVisual")->trigger();
    ok &= Save(s.visual, out, "visualisation");
    s.main->ParamPanel()->BtnExpand()->click();
    s.main->ParamPanel()->BtnMake()->click();
    ok &= Save(s.main, out, "main-window-parameters");
  }
  // The plot of the combustion chain beside the example given.
  const fs::path chain = fs::path(argv[2]).parent_path() / "Combustion.xlsx";
  if (fs::exists(chain)) {
    const fs::path copy = scratch / chain.filename();
    fs::copy_file(chain, copy, fs::copy_options::overwrite_existing);
    DesktopSession s(0, &dialogs);
    s.p->settings.SetDocumentsFolder((scratch / "docs").string());
    s.Start({}, false);
    s.main->OpenFile(copy.string());
    s.main->Command("ButtonCalculate")->trigger();
    s.main->Command("MnuPlot")->trigger();
    s.p->plot.ToggleSeries(4);  // the time of each run would flatten the amounts
    s.p->plot.logY = true;
    s.plot->Redraw();
    s.plot->resize(900, 560);
    ok &= Save(s.plot, out, "plot");
    s.plot->close();
  }
  fs::remove_all(scratch);
  return ok ? 0 : 1;
}
