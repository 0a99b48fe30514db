// The "Thermodynamic System" window.
#include "process/EqlCalcXView.h"

#include <QActionGroup>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

#include "gui/GridClipboard.h"
#include "gui/GridSetup.h"
#include "gui/GridTable.h"
#include "gui/StringGridModel.h"
#include "process/EqlCalcX.h"
#include "process/ExportBook.h"

namespace ploxen {
namespace {

const QString kElementsLater = "Comes with the element selection dialog";
const QString kBalanceLater = "Comes with the element balance windows";

/// Grid names of slots 1..8, also the object names of their views.
constexpr const char* kGridNames[] = {"",        "Gas1",   "Gas2",   "Liquid1", "Liquid2",
                                      "Liquid3", "Solid1", "Solid2", "Solid3"};

QString Q(const std::string& text) {
  return QString::fromStdString(text);
}

}  // namespace

TEqlCalcWndView::TEqlCalcWndView(TEqlCalcWnd& calc, TTablOprtWnd& table, UserDialogs& dialogs,
                                 TExportBook& exportBook, SystemWindowHooks hooks, QWidget* parent)
    : QMainWindow(parent),
      calc_(calc),
      table_(table),
      dialogs_(dialogs),
      exportBook_(exportBook),
      hooks_(std::move(hooks)) {
  setWindowFlag(Qt::Window);
  setAttribute(Qt::WA_QuitOnClose, false);
  setObjectName("EqlCalcWnd");
  setWindowTitle(TEqlCalcWnd::kCaption);
  auto* central = new QWidget(this);
  auto* layout = new QVBoxLayout(central);
  BuildCondition(central);
  layout->addWidget(central->findChild<QGroupBox*>("Cond"));
  tabs_ = new QTabWidget(central);
  tabs_->setObjectName("PageControl");
  for (int k = 1; k <= kSlotCount; ++k) BuildGrid(k);
  layout->addWidget(tabs_, 1);
  setCentralWidget(central);
  connect(tabs_, &QTabWidget::currentChanged, this, [this](int index) {
    if (!syncing_ && index >= 0) calc_.lastGrid = index + 1;
  });
  QStatusBar* bar = statusBar();
  bar->setObjectName("StBar");
  for (int i = 0; i < 4; ++i) {
    status_[i] = new QLabel(bar);
    status_[i]->setObjectName(QString("StatusPanel%1").arg(i));
    bar->addWidget(status_[i], i == 3 ? 1 : 0);
  }
  BuildMenus();
  BuildPopup();
  resize(760, 480);
  Refresh();
}

QAction* TEqlCalcWndView::Command(const std::string& name) const {
  const auto it = commands_.find(name);
  return it == commands_.end() ? nullptr : it->second;
}

QAction* TEqlCalcWndView::Add(QMenu* menu, const std::string& name, const QString& caption,
                              std::function<void()> action, const QKeySequence& keys) {
  auto* a = new QAction(caption, this);
  a->setObjectName(Q(name));
  a->setShortcut(keys);
  a->setShortcutContext(Qt::WindowShortcut);
  addAction(a);  // shortcuts work while the menus are closed
  connect(a, &QAction::triggered, this, std::move(action));
  commands_[name] = a;
  if (menu) menu->addAction(a);
  return a;
}

void TEqlCalcWndView::BuildCondition(QWidget* parent) {
  auto* group = new QGroupBox("Cond.", parent);
  group->setObjectName("Cond");
  auto* grid = new QGridLayout(group);
  labelT_ = new QLabel(group);
  labelT_->setObjectName("LabelT");
  editTsys_ = new QLineEdit(group);
  editTsys_->setObjectName("EditTsys");
  labelPV_ = new QLabel(group);
  labelPV_->setObjectName("LabelPV");
  editPVsys_ = new QLineEdit(group);
  editPVsys_->setObjectName("EditPVsys");
  cbxPV_ = new QComboBox(group);
  cbxPV_->setObjectName("CbxPV");
  cbxPV_->addItems({"P Const ", "V Const ", "V Const"});
  cbxPV_->setEnabled(false);  // set by reading A3 of the condition sheet
  btnCalc_ = new QPushButton(group);
  btnCalc_->setObjectName("BtnCalc");
  grid->addWidget(labelT_, 0, 0);
  grid->addWidget(editTsys_, 0, 1);
  grid->addWidget(labelPV_, 0, 2);
  grid->addWidget(editPVsys_, 0, 3);
  grid->addWidget(cbxPV_, 0, 4);
  grid->addWidget(btnCalc_, 0, 5);
  grid->setColumnStretch(1, 1);
  grid->setColumnStretch(3, 1);
  connect(editTsys_, &QLineEdit::textEdited, this,
          [this](const QString& text) { calc_.EditTsys = text.toStdString(); });
  connect(editPVsys_, &QLineEdit::textEdited, this,
          [this](const QString& text) { calc_.EditPVsys = text.toStdString(); });
  connect(btnCalc_, &QPushButton::clicked, this, [this] {
    if (running_) {
      calc_.Calculate(true);  // a second click while the run goes on breaks it
      return;
    }
    Calculate(false);
  });
}

void TEqlCalcWndView::BuildMenus() {
  QMenu* file = menuBar()->addMenu("&File");
  file->setObjectName("MnuFile");
  Add(file, "MnuSaveAsEql", "Save as Equilibrium File",
      [this] { calc_.SaveAsEquilibriumFile(dialogs_); });
  Add(file, "MnuExportToExcel", "Export to New Excel File",
      [this] { calc_.ExportToNewWorkbook(exportBook_); });
  file->addSeparator();
  Add(file, "MnuExit", "Exit", [this] { close(); });
  QMenuBar* bar = menuBar();
  Add(nullptr, "MnuElements1", "Elements", [this] {
    calc_.AutoSelectElements();
    if (hooks_.showElements) hooks_.showElements();
  });
  bar->addAction(Command("MnuElements1"));
  Add(nullptr, "MnuExtOptions", "Extended Options", [this] {
    if (hooks_.showCriteria) hooks_.showCriteria();
  });
  bar->addAction(Command("MnuExtOptions"));
  // Temperature and mass units belong to the extended mode, which this build leaves off.
  QMenu* temp = bar->addMenu("Temperature");
  commands_["MnuTemp"] = temp->menuAction();
  auto* units = new QActionGroup(this);
  for (const bool celsius : {true, false}) {
    QAction* a =
        Add(temp, celsius ? "MnuTempC" : "MnuTempK", celsius ? "[°C ]" : "[ K ]", [this, celsius] {
          calc_.MnuTempC = celsius;
          calc_.LabelT = celsius ? "T[°C ]" : "T[ K ]";
          Refresh();
        });
    a->setCheckable(true);
    units->addAction(a);
  }
  temp->menuAction()->setVisible(false);
  QMenu* mass = bar->addMenu("Mass");
  commands_["MnuMass"] = mass->menuAction();
  for (const char* unit : {"[ mol ]", "[ g ]", "[ kg ]"}) mass->addAction(unit);
  mass->menuAction()->setVisible(false);
  Add(nullptr, "MnuCalculation1", "Calculation", [this] { Calculate(true); });
  bar->addAction(Command("MnuCalculation1"));
  Add(nullptr, "MnuEBalance", "Elementar Balance", [this] {
    if (hooks_.showBalance) hooks_.showBalance();
  });
  bar->addAction(Command("MnuEBalance"));
  Add(nullptr, "MnuPlot", "Plot", [this] {
    if (hooks_.showPlot) hooks_.showPlot();
  });
  bar->addAction(Command("MnuPlot"));
  Command("MnuPlot")->setVisible(bool(hooks_.showPlot));
  Add(nullptr, "MnuMessage", "Messages", [this] {
    if (hooks_.showLog) hooks_.showLog();
  });
  bar->addAction(Command("MnuMessage"));
  Add(nullptr, "MnuAbout", "About", [this] {
    if (hooks_.showAbout) hooks_.showAbout();
  });
  bar->addAction(Command("MnuAbout"));
  const struct {
    const char* name;
    bool on;
    const QString& why;
  } later[] = {{"MnuElements1", bool(hooks_.showElements), kElementsLater},
               {"MnuEBalance", bool(hooks_.showBalance), kBalanceLater}};
  for (const auto& item : later) {
    if (item.on) continue;
    Command(item.name)->setEnabled(false);
    Command(item.name)->setToolTip(item.why);
    Command(item.name)->setStatusTip(item.why);
  }
}

void TEqlCalcWndView::BuildPopup() {
  popup_ = new QMenu(this);
  popup_->setObjectName("PMPhase");
  const auto& dims = TEqlCalcWnd::DimensionCaptions();
  QMenu* dimIn = popup_->addMenu("Dimension In");
  QMenu* dimOut = popup_->addMenu("Dimension Out");
  for (int unit = 0; unit < static_cast<int>(dims.size()); ++unit) {
    Add(dimIn, "PopDimIn" + std::to_string(unit), Q(dims[unit]), [this, unit] {
      calc_.PopDimIn(calc_.lastGrid, unit);
      RefreshGrid(calc_.lastGrid);
    });
    Add(dimOut, "PopDimOut" + std::to_string(unit), Q(dims[unit]), [this, unit] {
      calc_.PopDimOut(calc_.lastGrid, unit);
      RefreshGrid(calc_.lastGrid);
    });
  }
  QMenu* sort = popup_->addMenu("Sort by");
  sort->setObjectName("Sortby1");
  const auto& sorts = TEqlCalcWnd::SortCaptions();
  for (int column = 0; column <= static_cast<int>(sorts.size()); ++column) {
    const QString caption = column == 0 ? QString("Substance") : Q(sorts[column - 1]);
    Add(sort, "Sortby" + std::to_string(column), caption, [this, column] {
      calc_.SortBy(calc_.lastGrid, column, table_);
      RefreshGrid(calc_.lastGrid);
    });
  }
  QAction* fix = Add(
      popup_, "FixCol1", "Fix. Col.",
      [this] {
        calc_.FixCol(calc_.lastGrid);
        RefreshGrid(calc_.lastGrid);
      },
      QKeySequence("Ctrl+F"));
  fix->setCheckable(true);
  fix->setChecked(true);
  popup_->addSeparator();
  Add(popup_, "PopupSelectAll1", "&Select all", [this] {
    const int slot = calc_.lastGrid;
    grids_[slot]->selectAll();
    TakeSelection(slot);
  });
  Add(
      popup_, "PopupCopy1", "&Copy",
      [this] {
        const int slot = calc_.lastGrid;
        TakeSelection(slot);
        const StringGrid& g = calc_.slots[slot].grid;
        CopyRangeToClipboard(table_, g, g.selection);
      },
      QKeySequence("Ctrl+Ins"));
  Add(
      popup_, "PopupPaste1", "&Paste",
      [this] {
        const int slot = calc_.lastGrid;
        TakeSelection(slot);
        calc_.PasteIntoGrid(slot, table_, ClipboardText());
        RefreshGrid(slot);
      },
      QKeySequence("Shift+Ins"));
  popup_->addSeparator();
  Add(popup_, "Remove1", "Remove from system", [this] {
    const int slot = calc_.lastGrid;
    TakeSelection(slot);
    if (calc_.RemoveFromSystem(slot, dialogs_) > 0) RefreshGrid(slot);
  });
}

void TEqlCalcWndView::BuildGrid(int slot) {
  StringGrid& g = calc_.slots[slot].grid;
  auto* view = new QTableView(tabs_);
  view->setObjectName(kGridNames[slot]);
  auto* model = new StringGridModel(g, view);
  model->SetEditable(true);
  view->setModel(model);
  SetUpGridView(view, g);
  view->installEventFilter(this);
  view->viewport()->installEventFilter(this);
  grids_[slot] = view;
  models_[slot] = model;
  tabs_->addTab(view, Q(calc_.slots[slot].tabCaption));
  connect(view->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this, slot] {
    if (!syncing_) TakeSelection(slot);
  });
  connect(view->selectionModel(), &QItemSelectionModel::currentChanged, this, [this, slot] {
    if (!syncing_) TakeSelection(slot);
  });
  connect(view, &QWidget::customContextMenuRequested, this, [this, slot, view](const QPoint& at) {
    PreparePopup(slot);
    popup_->popup(view->viewport()->mapToGlobal(at));
  });
}

void TEqlCalcWndView::PreparePopup(int slot) {
  if (slot < 1 || slot > kSlotCount) return;
  calc_.lastGrid = slot;
  const std::array<std::string, 4> headers = calc_.SortHeaders(slot);
  for (int k = 0; k < 4; ++k) {
    const std::string& h = headers[k];
    Command("Sortby" + std::to_string(k + 1))
        ->setText(Q(h.empty() ? TEqlCalcWnd::SortCaptions()[k] : h));
  }
  Command("FixCol1")->setChecked(calc_.slots[slot].grid.fixedCols > 0);
}

void TEqlCalcWndView::Calculate(bool fromMenu) {
  if (calc_.IsBusy(true)) return;  // a run of the main window is going on
  running_ = true;
  btnCalc_->setText("Cancel");
  if (fromMenu) {
    calc_.Calculate(true);
  } else {
    calc_.CalcButton();
  }
  running_ = false;
  Refresh();
}

void TEqlCalcWndView::TakeSelection(int slot) {
  if (slot < 1 || slot > kSlotCount) return;
  QTableView* view = grids_[slot];
  const StringGridModel& model = *models_[slot];
  const QModelIndex current = view->currentIndex();
  if (current.isValid()) calc_.SelectCell(slot, model.GridColumn(current), model.GridRow(current));
  calc_.lastGrid = slot;
  GridRect rect;
  if (ViewSelection(view, model, rect)) calc_.slots[slot].grid.selection = rect;
  RefreshStatus();
}

bool TEqlCalcWndView::eventFilter(QObject* watched, QEvent* event) {
  const int slot = SlotOf(watched);
  if (slot < 1) return QMainWindow::eventFilter(watched, event);
  StringGrid& g = calc_.slots[slot].grid;
  if (event->type() == QEvent::MouseButtonPress) {
    auto* mouse = static_cast<QMouseEvent*>(event);
    if (!mouse->modifiers().testFlag(Qt::ControlModifier)) return false;
    const QModelIndex index = grids_[slot]->indexAt(mouse->position().toPoint());
    if (!index.isValid()) return false;
    const StringGridModel& model = *models_[slot];
    if (!calc_.GridMouseDown(slot, model.GridColumn(index), model.GridRow(index), true)) {
      return false;
    }
    syncing_ = true;
    ShowGridSelection(grids_[slot], model, g);
    syncing_ = false;
    RefreshStatus();
    return true;
  }
  if (event->type() == QEvent::KeyPress && watched == grids_[slot]) {
    auto* key = static_cast<QKeyEvent*>(event);
    ShiftState shift;
    const int code = GridKeyCode(*key, shift);
    if (code == 0) return false;
    if (shift.ctrl && !shift.alt && code == kKeyC) {
      TakeSelection(slot);
      CopyRangeToClipboard(table_, g, g.selection);
      return true;
    }
    if (!shift.alt || !table_.GridKeys(g, code, shift)) return false;
    ApplyGridMetrics(grids_[slot], g);
    status_[3]->setText(Q(table_.FormatStatus()));
    return true;
  }
  return false;
}

int TEqlCalcWndView::SlotOf(const QObject* watched) const {
  for (int k = 1; k <= kSlotCount; ++k) {
    if (grids_[k] && (watched == grids_[k] || watched == grids_[k]->viewport())) return k;
  }
  return 0;
}

void TEqlCalcWndView::RefreshGrid(int slot) {
  const StringGrid& g = calc_.slots[slot].grid;
  syncing_ = true;
  models_[slot]->Reload();
  ApplyGridMetrics(grids_[slot], g);
  ShowGridSelection(grids_[slot], *models_[slot], g);
  syncing_ = false;
  RefreshStatus();
}

void TEqlCalcWndView::RefreshStatus() {
  status_[0]->setText(Q(calc_.StatusPanel0));
  status_[1]->setText(Q(calc_.StatusPanel1));
  status_[2]->setText(Q(calc_.StatusPanel2));
}

void TEqlCalcWndView::Refresh() {
  syncing_ = true;
  labelT_->setText(Q(calc_.LabelT));
  labelPV_->setText(Q(calc_.LabelPV));
  if (editTsys_->text().toStdString() != calc_.EditTsys) editTsys_->setText(Q(calc_.EditTsys));
  if (editPVsys_->text().toStdString() != calc_.EditPVsys) {
    editPVsys_->setText(Q(calc_.EditPVsys));
  }
  cbxPV_->setCurrentIndex(calc_.CbxPV);
  btnCalc_->setText(Q(calc_.BtnCalcCaption));
  btnCalc_->setToolTip(Q(calc_.BtnCalcHint));
  Command(calc_.MnuTempC ? "MnuTempC" : "MnuTempK")->setChecked(true);
  for (int k = 1; k <= kSlotCount; ++k) {
    const TPhaseSlot& s = calc_.slots[k];
    tabs_->setTabText(k - 1, Q(s.tabCaption));
    tabs_->setTabVisible(k - 1, s.tabVisible);
  }
  syncing_ = false;
  for (int k = 1; k <= kSlotCount; ++k) RefreshGrid(k);
  const int current = calc_.lastGrid;
  if (current >= 1 && current <= kSlotCount && calc_.slots[current].tabVisible) {
    syncing_ = true;
    tabs_->setCurrentIndex(current - 1);
    syncing_ = false;
  }
  status_[3]->setText(Q(calc_.StatusPanel3));
}

}  // namespace ploxen
