// One desktop session: modules, windows and their connections.
#include "gui/DesktopSession.h"

#include <QAction>
#include <QGuiApplication>
#include <QMenu>
#include <QScreen>
#include <QTimer>

#include "app/AboutView.h"
#include "app/AnalysisCommands.h"
#include "app/CalcStartView.h"
#include "app/PhaseCompounds.h"
#include "chem/ElementsView.h"
#include "app/RecorderPlotView.h"
#include "app/StartShwView.h"
#include "app/UserSettings.h"
#include "balance/ElBalanceOpen.h"
#include "balance/ElBalanceView.h"
#include "balance/XelBalView.h"
#include "kernel/EqKernelView.h"
#include "linalg/LSolverView.h"
#include "process/SetStFnView.h"
#include "process/EqlCalcXView.h"
#include "support/AplMsgView.h"
#include "support/Platform.h"
#include "thermo/CompoundsView.h"
#include "thermo/TDynOprtView.h"
#include "visual/PresViewView.h"
#include "workbook/XlsObjView.h"

namespace ploxen {
namespace {

/// Options of the criteria window that the user settings remember, by control name.
struct RememberedOption {
  const char* control;
  const char* key;
};
constexpr RememberedOption kRememberedOptions[] = {{"CbxExact", "ExactSolution"}};

WindowRect RectOf(const QRect& r) {
  return {r.left(), r.top(), r.width(), r.height()};
}

}  // namespace

DesktopSession::DesktopSession(int parameterCount, UserDialogs* dialogs)
    : dialogs_(dialogs ? dialogs : &qtDialogs_) {
  p = std::make_unique<TPloxen>(parameterCount, dialogs_);
  files = std::make_unique<TBookFiles>(p->log, p->xls, *dialogs_, &p->servers.Embedded());
  choice = std::make_unique<TSpreadsheetChoice>(p->log, p->settings, p->xls, p->main, *files);
  DesktopWindows windows;
  windows.showLog = [this] { ShowLog(); };
  windows.showCriteria = [this] {
    criteria->Refresh();
    criteria->show();
    criteria->raise();
  };
  windows.showBehaviour = [this] {
    behaviour->Refresh();
    behaviour->show();
    behaviour->raise();
  };
  windows.showInterface = [this] {
    p->xls.ShowExcel(0);
    xls->Refresh();
    xls->show();
    xls->raise();
  };
  windows.showAbout = [this] { about->show(); };
  windows.showMatrix = [this] {
    matrix->Refresh();
    matrix->showNormal();
    matrix->raise();
  };
  windows.showElementBalance = [this] {
    if (!PrepareElementBalance(*p)) return;
    xelBalance->Refresh();
    xelBalance->showNormal();
    xelBalance->raise();
  };
  windows.showStateFunctions = [this] {
    if (!PrepareStateFunctions(*p)) return;
    stateFunctions->Refresh();
    stateFunctions->show();
    stateFunctions->raise();
  };
  windows.showVisual = [this] { visual->Open(); };
  windows.showPlot = [this] { ShowPlot(); };
  windows.placeLog = [this] { PlaceLog(); };
  windows.showSystem = [this] {
    system->Refresh();
    system->showNormal();
    system->raise();
  };
  windows.afterRun = [this] {
    if (system->isVisible()) system->Refresh();
  };
  windows.showElements = [this] { elements->Open(); };
  windows.showCompounds = [this](int k) { ShowPhaseSheetCompounds(k); };
  main = new TCalcStartWndView(*p, *files, *choice, windows);
  qtDialogs_.SetParent(main);
  log = new TAplMsgWndView(p->log, main);
  criteria = new TEqlKernelView(p->kernel, main);
  behaviour = new TTDynOprtWndView(p->thermo, main);
  xls = new TXlsWndView(p->xls, *dialogs_, main);
  about = new TAboutView(main);
  matrix = new TLSolverWndView(p->lsolver, p->table, main);
  elBalance = new TElBalanceDlgView(p->elBalance, p->table, main);
  xelBalance = new TXelBalDlgView(p->xelBalance, main);
  stateFunctions = new TSetStFnDlgView(p->setStFn, main);
  SystemWindowHooks hooks;
  hooks.showCriteria = windows.showCriteria;
  hooks.showLog = windows.showLog;
  hooks.showAbout = windows.showAbout;
  hooks.showBalance = [this] { ShowElementarBalance(); };
  hooks.showElements = windows.showElements;
  hooks.showPlot = [this] { ShowPlot(); };
  system = new TEqlCalcWndView(p->calc, p->table, *dialogs_, p->exportBook, hooks, main);
  elements = new TElementsDlgView(p->elementsDlg, main);
  compounds = new TCompoundsDlgView(p->compounds, main);
  visual = new TPresViewWndView(p->visual, *dialogs_, main);
  plot = new TRecorderPlotView(p->plot, p->xls, *dialogs_, main);
  plot->conditionSheet = [this] {
    if (p->calc.busy && p->main.conditionSheet > 0) return p->main.conditionSheet;  // a chain
    const std::string sheet = p->main.SelectedSheet();
    return sheet.empty() ? 0 : p->xls.FindSheet(sheet);
  };
  for (QWidget* w : {static_cast<QWidget*>(log), static_cast<QWidget*>(xls),
                     static_cast<QWidget*>(visual), static_cast<QWidget*>(plot)}) {
    w->setAttribute(Qt::WA_QuitOnClose, false);
  }
  splash = new TStartShowWndView(p->main);
  splash->setAttribute(Qt::WA_QuitOnClose, false);
  timer = new QTimer(this);
  timer->setInterval(1000);
  Connect();
}

DesktopSession::~DesktopSession() {
  delete splash;
  delete main;  // and the windows it owns, before the models they show
  delete trayMenu;
}

void DesktopSession::Connect() {
  pump.beforeProcessing = [this] {
    main->RefreshStatus();
    if (p->main.batchMode) splash->Refresh();
  };
  p->main.processEvents = [this] { pump(); };
  p->kernel.SetProcessEvents([this] { pump(); });
  p->log.onOpen = [this] { ShowLog(); };
  p->log.onBringToFront = [this] { log->BringToFront(); };
  p->log.onChanged = [this] {
    if (log->isVisible()) log->Refresh();
  };
  p->calc.onShowLog = [this] { log->BringToFront(); };
  p->visual.onShowLog = [this] { ShowLog(); };
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    p->visual.screenWidth = screen->availableGeometry().width();
    p->visual.screenHeight = screen->availableGeometry().height();
  }
  p->calc.onBusyCursor = [](bool on) { SetBusyCursor(on); };
  // Every run of a chain appends to the recorder: an open plot follows it.
  p->calc.onRecorded = [this] {
    if (plot->isVisible()) plot->Refresh();
  };
  p->thermo.onBusy = [](bool on) { SetBusyCursor(on); };
  p->xls.bookNotification = [this](int code) { p->main.OnBookNotification(code); };
  p->settings.onRecentChanged = [this] { main->Refresh(); };
  main->writeSetting = [this](const std::string& key, const std::string& value) {
    WriteSetting(key, value);
  };
  criteria->onOptionChanged = [this](const std::string& name, bool on) {
    for (const RememberedOption& option : kRememberedOptions) {
      if (name == option.control) WriteSetting(option.key, on ? "1" : "0");
    }
  };
  log->onFilterChanged = [this](int filter) { WriteSetting("MsgFilter", std::to_string(filter)); };
  behaviour->onModelChosen = [this](int model) { WriteSetting("Model", std::to_string(model)); };
  behaviour->onDatabaseChosen = [this](const std::string& path) { WriteSetting("Database", path); };
  xls->openFile = [this](const std::string& path) { main->OpenFile(path); };
  xls->beforeRead = [this] { files->ReloadIfChanged(); };
  xls->onListsChanged = [this] { main->Refresh(); };
  ConnectAnalysis();
  compounds->onHelp = [this] { main->Command("MnuHelp")->trigger(); };
  connect(timer, &QTimer::timeout, this, [this] { Tick(); });

  trayMenu = new QMenu;
  trayMenu->addAction(main->Command("MnuCalculationSystem"));
  trayMenu->addAction(main->Command("BtnMsg"));
  trayMenu->addAction(main->Command("MnuBreak1"));
  trayMenu->addAction(main->Command("BtnClose"));
  trayMenu->addSeparator();
  trayMenu->addAction("Leave Menu", trayMenu, &QMenu::close);
}

void DesktopSession::ConnectAnalysis() {
  p->elBalance.onBusyCursor = [](bool on) { SetBusyCursor(on); };
  p->xelBalance.processMessages = [this] { pump(); };
  // A calculation fills the Lagrange table; an open matrix window shows it at once.
  connect(main->Command("ButtonCalculate"), &QAction::triggered, this, [this] {
    if (matrix->isVisible()) matrix->Refresh();
  });
  xelBalance->afterCreate = [this] {
    OfferExportSave(
        BalanceSummaryName(p->xelBalance.SelectedText(), p->xelBalance.conditionSheetName));
  };
  elBalance->afterExport = [this] {
    const TElBalanceDlg& d = p->elBalance;
    const bool chosen = d.CBEIndex >= 0 && d.CBEIndex < static_cast<int>(d.CBE.size());
    OfferExportSave(chosen ? "Balance." + d.CBE[d.CBEIndex] : std::string("Balance"));
  };
  stateFunctions->afterSet = [this] { main->Refresh(); };
}

// An export workbook of the program's own engine is seen by nobody until it is in a file.
void DesktopSession::OfferExportSave(const std::string& fileName) {
  p->exportBook.OfferSave(*dialogs_, fileName + ".xlsx", p->main.projectFolder);
  main->Refresh();
}

void DesktopSession::ShowElementarBalance() {
  OpenElementBalance(p->calc, p->elBalance);
  elBalance->Refresh();
  elBalance->showNormal();
  elBalance->raise();
}

void DesktopSession::WriteSetting(const std::string& key, const std::string& value) {
  WriteMainWndSetting(p->settings, key, value);  // a failure is posted; the window goes on
}

void DesktopSession::ApplyUserSettings() {
  const std::string save = ReadMainWndSetting(p->settings, "SaveAfterCalculation");
  if (QAction* a = main->Command("MnuSaveAfterCalculation")) a->setChecked(save != "0");
  const std::string geometry = ReadMainWndSetting(p->settings, "Geometry");
  if (!geometry.empty()) main->ApplyGeometry(geometry);
}

void DesktopSession::Start(const std::vector<std::string>& arguments, bool show) {
  shown_ = show;
  p->main.programPath = ProgramFolder() + "/" + ProgramName();
  log->setWindowTitle("Mizzolith - Messages");
  if (!arguments.empty() && show && !splash->ShowTrayIcon(trayMenu)) {
    p->main.trayAvailable = false;  // no notification area on this desktop
  }
  ApplyUserSettings();
  p->main.StartApplication(arguments);
  main->Refresh();
  if (p->main.mainWindowVisible && show && !p->main.programClosed) {
    main->show();
    main->raise();
  }
  if (show) splash->Refresh();
  if (p->main.timerEnabled && !p->main.programClosed) timer->start();
  if (p->main.programClosed) Q_EMIT finished();
}

void DesktopSession::Tick() {
  p->main.TimerTick();
  if (shown_) splash->Refresh();
  if (shown_ && p->main.mainWindowVisible && !p->main.programClosed && !main->isVisible()) {
    main->Refresh();
    main->show();
    main->raise();
  }
  if (!p->main.timerEnabled) timer->stop();
  if (p->main.programClosed) {
    timer->stop();
    Q_EMIT finished();
  }
}

void DesktopSession::ShowPhaseSheetCompounds(int k) {
  TPhaseSheetCompounds sheet(p->log, p->main, p->xls, p->calc, p->compounds);
  if (sheet.Open(k) < 1) return;
  if (compounds->ExecFilled()) sheet.Accept();
}

int DesktopSession::ExitStatus() const {
  return p->main.batchMode ? p->main.ExitStatus() : 0;
}

void DesktopSession::PlaceLog() {
  const QScreen* screen = main->screen() ? main->screen() : QGuiApplication::primaryScreen();
  const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
  const LogPlacement placement = PlaceLogWindow(
      RectOf(main->frameGeometry()), RectOf(log->frameGeometry()), RectOf(area), log->isVisible());
  if (placement.moved) {
    p->log.SetWindowPos(placement.left, placement.top);
    log->move(placement.left, placement.top);
  }
}

void DesktopSession::ShowPlot() {
  plot->Refresh();
  plot->show();
  plot->raise();
}

void DesktopSession::ShowLog() {
  const bool wasOpen = log->isVisible();
  log->Open();
  if (!wasOpen && main->isVisible()) {
    const QRect area = main->screen()->availableGeometry();
    const LogPlacement placement = PlaceLogWindow(
        RectOf(main->frameGeometry()), RectOf(log->frameGeometry()), RectOf(area), false);
    if (placement.moved) log->move(placement.left, placement.top);
  }
  log->raise();
}

}  // namespace ploxen
