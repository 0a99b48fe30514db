// The main window's menus, toolbar and commands.
#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QPushButton>
#include <QToolBar>
#include <QUrl>

#include "app/BookFiles.h"
#include "app/CalcStartView.h"
#include "app/NewProcess.h"
#include "app/ParamPanel.h"
#include "app/Ploxen.h"
#include "app/SpreadsheetChoice.h"
#include "gui/EventPump.h"
#include "gui/Icons.h"

namespace ploxen {

QAction* TCalcStartWndView::Command(const std::string& name) const {
  const auto it = commands_.find(name);
  return it == commands_.end() ? nullptr : it->second;
}

QAction* TCalcStartWndView::Add(QMenu* menu, const std::string& name, const QString& caption,
                                std::function<void()> action, const QKeySequence& keys) {
  QAction* a = Command(name);
  if (!a) {
    a = new QAction(caption, this);
    a->setObjectName(QString::fromStdString(name));
    a->setShortcut(keys);
    a->setShortcutContext(Qt::WindowShortcut);
    a->setStatusTip(caption);
    addAction(a);  // shortcuts work while the menus are closed
    connect(a, &QAction::triggered, this, [this, action] {
      action();
      Refresh();
    });
    commands_[name] = a;
  }
  if (menu) menu->addAction(a);
  return a;
}

void TCalcStartWndView::BuildMenus() {
  BuildFileMenu(menuBar()->addMenu("&File"));
  BuildCalculationMenu(menuBar()->addMenu("&Calculation"));
  QMenu* windows = menuBar()->addMenu("&Windows");
  Add(windows, "MnuCalculationSystem", "Main Window", [this] {
    showNormal();
    raise();
    activateWindow();
  });
  Add(windows, "MnuMessages", "Messages", [this] { windows_.showLog(); });
  Add(windows, "MnuThermodynamicSystem", "Thermodynamic System", [this] {
    if (windows_.showSystem) windows_.showSystem();
  });
  Add(windows, "PopOpenXls", "MS Excel Interface", [this] { windows_.showInterface(); });
  Add(windows, "SetupView1", "Setup View", [this] { windows_.showVisual(); });
  Add(windows, "MnuPlot", "Plot", [this] {
    if (windows_.showPlot) windows_.showPlot();
  });
  QMenu* tools = menuBar()->addMenu("&Tools");
  BuildToolsMenu(tools->addMenu("External Database Applications"));
  QMenu* help = menuBar()->addMenu("&Help");
  Add(
      help, "MnuHelp", "Help",
      [this] {
        const HelpPage page = TParamPanel::HelpStartPage(p_.thermo.HelpIndex());
        if (page.location.empty()) return;
        const QString text = QString::fromStdString(page.location);
        QDesktopServices::openUrl(page.web ? QUrl(text) : QUrl::fromLocalFile(text));
      },
      QKeySequence::HelpContents);
  if (p_.thermo.HelpIndex().empty()) {
    Command("MnuHelp")->setEnabled(false);
    Command("MnuHelp")->setToolTip("No help index is set (HelpIndex in Ploxen.sys)");
  }
  Add(help, "MnuAbout", "About Mizzolith ", [this] { windows_.showAbout(); });
  for (QMenu* m : menuBar()->findChildren<QMenu*>()) m->setToolTipsVisible(true);
}

void TCalcStartWndView::BuildToolsMenu(QMenu* menu) {
  tools_ = menu;
  commands_["BtnTools"] = menu->menuAction();
  menu->setToolTipsVisible(true);
  const std::vector<CompanionItem> items = p_.params.ToolItems();
  for (size_t k = 0; k < items.size(); ++k) {
    const QString program = QString::fromStdString(items[k].path);
    QAction* a = Add(menu, "MnuTool" + std::to_string(k + 1),
                     QString::fromStdString(items[k].caption),
                     [program] { QProcess::startDetached(program, {}); });
    a->setEnabled(!program.isEmpty());
    a->setToolTip(program.isEmpty()
                      ? QString("Not installed beside the program: ") + kCompanionPrograms[k].fileName
                      : program);
  }
  menu->addSeparator();
  Add(menu, "MnuProjects", "Projects", [this] {
    const std::string folder = p_.params.ProjectsFolder(p_.thermo.ProjectFolder());
    QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(folder)));
  });
}

void TCalcStartWndView::BuildFileMenu(QMenu* menu) {
  Add(
      menu, "MnuOpen", "Open…",
      [this] {
        if (p_.calc.IsBusy(true)) return;
        if (files_.OpenWithDialog(p_.main.projectFolder) > 0) p_.main.ShowBook(p_.xls.BookName());
      },
      QKeySequence("Ctrl+Shift+O"))
      ->setIcon(ThemeIcon("document-open", QStyle::SP_DialogOpenButton));
  Add(
      menu, "MnuSave", "Save", [this] { SaveWorkbook(); }, QKeySequence("Ctrl+Shift+S"))
      ->setIcon(ThemeIcon("document-save", QStyle::SP_DialogSaveButton));
  Add(menu, "MnuShowInApplication", "Show in spreadsheet application",
      [this] { ShowInSpreadsheetApplication(); });
  Add(
      menu, "MnuCloseBook", "Close workbook", [this] { CloseWorkbook(); }, QKeySequence::Close);
  QAction* save = Add(menu, "MnuSaveAfterCalculation", "Save after calculation", [this] {
    const bool on = Command("MnuSaveAfterCalculation")->isChecked();
    if (writeSetting) writeSetting("SaveAfterCalculation", on ? "1" : "0");
  });
  save->setCheckable(true);
  save->setChecked(true);
  BuildApplicationMenu(menu->addMenu("Spreadsheet application"));
  menu->addSeparator();
  Add(menu, "BtnNewXls", "Create New Process in MS Excel", [this] {
    NewProcessContext context{p_.log,
                              p_.userDialogs,
                              p_.calc,
                              p_.exportBook,
                              p_.xls,
                              &p_.main,
                              p_.kernel.EditPrec,
                              p_.kernel.EditILimit};
    if (CreateNewProcess(context)) p_.main.CbxXlsChange(p_.main.CbxXlsIndex);
  })->setIcon(ThemeIcon("document-new", QStyle::SP_FileIcon));
  Add(menu, "BtnEmpty", "Empty Process", [this] {
    BeforeRead();
    p_.main.EmptyProcess(p_.userDialogs);
  })->setIcon(ThemeIcon("edit-clear", QStyle::SP_DialogResetButton));
  menu->addSeparator();
  Add(
      menu, "BtnClose", "Close", [this] { close(); }, QKeySequence::Quit)
      ->setIcon(ThemeIcon("application-exit", QStyle::SP_DialogCloseButton));
}

void TCalcStartWndView::BuildApplicationMenu(QMenu* menu) {
  auto* group = new QActionGroup(this);
  const struct {
    const char* name;
    const char* caption;
    SpreadsheetApplication app;
  } items[] = {{"MnuEmbedded", "Embedded", SpreadsheetApplication::kEmbedded},
               {"MnuLibreOffice", "LibreOffice Calc", SpreadsheetApplication::kLibreOffice}};
  for (const auto& item : items) {
    const SpreadsheetApplication app = item.app;
    QAction* a = Add(menu, item.name, item.caption, [this, app] {
      if (p_.calc.IsBusy(true)) return;
      choice_.Select(app);
    });
    a->setCheckable(true);
    group->addAction(a);
  }
  if (!ServerSelector::HasLibreOffice()) {
    Command("MnuLibreOffice")->setEnabled(false);
    Command("MnuLibreOffice")->setToolTip("This build of the program cannot drive LibreOffice");
  }
}

void TCalcStartWndView::BuildCalculationMenu(QMenu* menu) {
  Add(
      menu, "ButtonCalculate", "Calculation",
      [this] { RunCalculation([this] { p_.main.ButtonCalculate(); }); }, QKeySequence("Ctrl+C"))
      ->setIcon(ThemeIcon("system-run", QStyle::SP_MediaPlay));
  history_ = menu->addMenu("Calculate again");
  commands_["MnuReopen"] = history_->menuAction();
  for (int k = 0; k < RecentMenu::kItems; ++k) {
    Add(history_, "MnuHst" + std::to_string(k), QString(),
        [this, k] { RunCalculation([this, k] { p_.main.CalculateAgain(k); }); });
  }
  Add(menu, "MnuBreak1", "Break", [this] {
    buttonBreak_->click();
  })->setIcon(ThemeIcon("process-stop", QStyle::SP_BrowserStop));
  menu->addSeparator();
  Add(
      menu, "MnuExtOptions", "Extended Options", [this] { windows_.showCriteria(); },
      QKeySequence("Ctrl+O"));
  Add(menu, "MnuBehaviour", "Behaviour", [this] { windows_.showBehaviour(); });
  QAction* extrapolation = Add(menu, "MnuExtrapolation", "Extrapolation", [this] {
    p_.thermo.SetCBExtrapolation(Command("MnuExtrapolation")->isChecked());
  });
  extrapolation->setCheckable(true);
  extrapolation->setChecked(p_.thermo.CBExtrapolation());
  menu->addSeparator();
  Add(menu, "MnuElements", "Elements", [this] {
    if (p_.calc.IsBusy(true) || !p_.main.MnuElementsClick()) return;
    windows_.showElements();
  });
  compounds_ = menu->addMenu("Compounds off");
  for (int k = 0; k < TCalcStartWnd::kPhaseItems; ++k) {
    Add(compounds_, "Ph" + std::to_string(k + 1), QString(), [this, k] {
      BeforeRead();
      windows_.showCompounds(k);
    });
  }
  export_ = menu->addMenu("Export compunds into");
  commands_["MnuExportCompundsInto"] = export_->menuAction();
  for (int k = 0; k < TCalcStartWnd::kPhaseItems; ++k) {
    Add(export_, "MnuToPh" + std::to_string(k + 1), QString(), [this, k] {
      BeforeRead();
      p_.main.MnuToPhClick(k);
    });
  }
  connect(menu, &QMenu::aboutToShow, this, [this] {
    p_.main.PrepareExportMenu();
    RefreshMenus();
  });
  menu->addSeparator();
  Add(
      menu, "MnuElementBalance1", "Element Balance",
      [this] {
        BeforeRead();
        if (windows_.showElementBalance) windows_.showElementBalance();
      },
      QKeySequence("Ctrl+E"));
  Add(
      menu, "MnuLagrang", "Lagrange Coeff",
      [this] {
        if (windows_.showMatrix) windows_.showMatrix();
      },
      QKeySequence("Ctrl+L"));
  Add(
      menu, "MnuStateFunctions1", "State Functions", [this] { ShowStateFunctions(); },
      QKeySequence("Ctrl+S"));
  Add(menu, "MnuToNewExcelFile1", "Export to New Excel File", [this] {
    BeforeRead();
    if (p_.main.PrepareExport(false)) p_.calc.ExportToNewWorkbook(p_.exportBook);
  });
  Add(menu, "MnuSaveEql", "Save as Equilibrium File", [this] {
    BeforeRead();
    if (p_.main.PrepareExport(true)) p_.calc.SaveAsEquilibriumFile(p_.userDialogs);
  });
}

void TCalcStartWndView::BuildToolBar() {
  QToolBar* bar = addToolBar("Commands");
  bar->setObjectName("Commands");
  bar->setToolButtonStyle(Qt::ToolButtonIconOnly);
  bar->addAction(Command("BtnNewXls"));
  bar->addAction(Command("MnuOpen"));
  bar->addAction(Command("MnuSave"));
  bar->addSeparator();
  QAction* details =
      Add(nullptr, "BtnShowEqlSys", "Calculation Details", [this] { windows_.showCriteria(); });
  details->setIcon(ThemeIcon("preferences-system", QStyle::SP_FileDialogDetailedView));
  bar->addAction(details);
  QAction* state =
      Add(nullptr, "BtnStateFunc", "State Functions", [this] { ShowStateFunctions(); });
  state->setIcon(ThemeIcon("accessories-calculator", QStyle::SP_FileDialogInfoView));
  bar->addAction(state);
  QAction* visual = Add(nullptr, "BtnVisual", "Visualisation", [this] { windows_.showVisual(); });
  visual->setIcon(ThemeIcon("image-x-generic", QStyle::SP_DesktopIcon));
  bar->addAction(visual);
  QAction* data = Add(nullptr, "BtnXlsInt", "MS Excel Data", [this] { windows_.showInterface(); });
  data->setIcon(ThemeIcon("x-office-spreadsheet", QStyle::SP_FileDialogListView));
  bar->addAction(data);
  QAction* messages = Add(nullptr, "BtnMsg", "Messages", [this] { windows_.showLog(); });
  messages->setIcon(ThemeIcon("dialog-information", QStyle::SP_MessageBoxInformation));
  bar->addAction(messages);
  bar->addAction(Command("BtnEmpty"));
  bar->addSeparator();
  bar->addAction(Command("MnuBreak1"));
  bar->addAction(Command("BtnClose"));
  for (QAction* a : bar->actions()) {
    if (!a->isSeparator() && a->toolTip().isEmpty()) a->setToolTip(a->text());
  }
}

void TCalcStartWndView::RefreshMenus() {
  const TCalcStartWnd& m = p_.main;
  compounds_->setTitle(QString::fromStdString(m.MnuCompounds.caption));
  compounds_->menuAction()->setVisible(m.MnuCompounds.visible);
  compounds_->setEnabled(m.MnuCompounds.enabled);
  for (int k = 0; k < TCalcStartWnd::kPhaseItems; ++k) {
    QAction* a = Command("Ph" + std::to_string(k + 1));
    a->setText(QString::fromStdString(m.Ph[k].caption));
    a->setVisible(m.Ph[k].visible);
    QAction* e = Command("MnuToPh" + std::to_string(k + 1));
    e->setText(QString::fromStdString(m.MnuToPh[k].caption));
    e->setVisible(m.MnuToPh[k].visible);
  }
  export_->setTitle(QString::fromStdString(m.MnuExportCompundsInto.caption));
  export_->menuAction()->setVisible(m.MnuExportCompundsInto.visible);
  export_->setEnabled(m.MnuExportCompundsInto.enabled);
}

void TCalcStartWndView::RefreshHistory() {
  const RecentMenu& menu = p_.settings.RecentMenuState();
  history_->menuAction()->setVisible(menu.visible);
  for (int k = 0; k < RecentMenu::kItems; ++k) {
    QAction* a = Command("MnuHst" + std::to_string(k));
    QString caption = QString::fromStdString(menu.caption[k]);
    a->setText(caption.replace("&", "&&"));
    a->setVisible(menu.itemVisible[k]);
  }
}

void TCalcStartWndView::ShowStateFunctions() {
  BeforeRead();
  if (windows_.showStateFunctions) windows_.showStateFunctions();
}

void TCalcStartWndView::BeforeRead() {
  if (!p_.calc.busy) files_.ReloadIfChanged();
}

void TCalcStartWndView::RunCalculation(const std::function<void()>& command) {
  if (calculating_ || p_.calc.busy) {
    p_.calc.IsBusy(true);  // posts 344 and does nothing else
    return;
  }
  BeforeRead();
  if (windows_.placeLog) windows_.placeLog();
  calculating_ = true;
  UpdateEnabled();
  buttonBreak_->setEnabled(true);
  SetBusyCursor(true);
  command();
  SetBusyCursor(false);
  calculating_ = false;
  const bool saveAfter = Command("MnuSaveAfterCalculation")->isChecked();
  int saved = 0;
  const std::string path = files_.CurrentPath();
  if (saveAfter && p_.main.bookOpened && files_.CurrentModified()) saved = files_.SaveCurrent();
  p_.main.ShowBook(p_.xls.BookName());
  p_.main.CbxCondIndex = p_.main.conditionSheet > 0 ? p_.main.conditionSheet - 1 : -1;
  p_.main.CbxCondChange(p_.main.CbxCondIndex);
  AfterSave(saved, path);
  if (windows_.afterRun) windows_.afterRun();
}

void TCalcStartWndView::SaveWorkbook() {
  if (p_.calc.IsBusy(true)) return;
  const std::string path = files_.CurrentPath();
  const int saved = files_.SaveCurrent();
  if (saved > 0) p_.main.ShowBook(p_.xls.BookName());
  AfterSave(saved, path);
}

void TCalcStartWndView::AfterSave(int saved, const std::string& path) {
  if (saved != TBookFiles::kUseLiveConnection) return;
  Refresh();
  if (choice_.UseLiveConnection(path, p_.main.SelectedSheet())) {
    RunCalculation([this] { p_.main.ButtonCalculate(); });
  }
}

void TCalcStartWndView::CloseWorkbook() {
  if (p_.calc.IsBusy(true)) return;
  files_.CloseCurrent();
}

void TCalcStartWndView::ShowInSpreadsheetApplication() {
  if (choice_.Current() == SpreadsheetApplication::kLibreOffice) {
    choice_.ShowInOffice();
    return;
  }
  const std::string path = files_.CurrentPath();
  if (path.empty() || !QFileInfo::exists(QString::fromStdString(path))) return;
  // The other program reads the file: our unsaved results go there first.
  if (files_.CurrentModified()) {
    const int saved = files_.SaveCurrent();
    if (saved <= 0) {
      AfterSave(saved, path);
      return;
    }
  }
  QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(path)));
}

}  // namespace ploxen
