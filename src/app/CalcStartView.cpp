// The main window: lists, status bar, refresh from the model, and the window's own events.
#include "app/CalcStartView.h"

#include <algorithm>

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>

#include "app/BookFiles.h"
#include "app/ParamPanelView.h"
#include "app/Ploxen.h"
#include "app/SpreadsheetChoice.h"
#include "gui/EventPump.h"
#include "gui/Icons.h"

namespace ploxen {
namespace {

void Fill(QComboBox* box, const std::vector<std::string>& items, int index) {
  QStringList texts;
  for (const std::string& item : items) texts << QString::fromStdString(item);
  QStringList now;
  for (int i = 0; i < box->count(); ++i) now << box->itemText(i);
  if (now != texts) {
    box->clear();
    box->addItems(texts);
  }
  box->setCurrentIndex(index);
}

}  // namespace

TCalcStartWndView::TCalcStartWndView(TPloxen& p, TBookFiles& files, TSpreadsheetChoice& choice,
                                     DesktopWindows windows, QWidget* parent)
    : QMainWindow(parent), p_(p), files_(files), choice_(choice), windows_(std::move(windows)) {
  setWindowIcon(AppIcon());
  setAcceptDrops(true);
  BuildCentral();
  BuildMenus();
  BuildToolBar();
  status_[0] = new QLabel(this);
  status_[1] = new QLabel(this);
  statusBar()->addWidget(status_[0], 1);
  statusBar()->addWidget(status_[1], 1);
  geometryTimer_ = new QTimer(this);
  geometryTimer_->setSingleShot(true);
  geometryTimer_->setInterval(1000);
  connect(geometryTimer_, &QTimer::timeout, this, [this] {
    if (writeSetting) writeSetting("Geometry", GeometryText());
  });
  const int em = fontMetrics().horizontalAdvance('M');
  resize(48 * em, sizeHint().height());
  setMinimumHeight(std::max(p_.params.WindowHeight(), minimumSizeHint().height()));
  Refresh();
}

void TCalcStartWndView::BuildCentral() {
  auto* central = new QWidget(this);
  auto* grid = new QGridLayout(central);
  cbxXls_ = new QComboBox(central);
  cbxCond_ = new QComboBox(central);
  panel_ = new TParamPanelView(p_.params, p_.main, p_.userDialogs, central);
  auto* buttonXls = new QPushButton("Update Files", central);
  auto* buttonUpdate = new QPushButton("Update Sheets", central);
  buttonCalculate_ =
      new QPushButton(ThemeIcon("system-run", QStyle::SP_MediaPlay), "Calculation", central);
  buttonCalculate_->setToolTip("Calculation of equilibrium (Ctrl+C)");
  buttonBreak_ =
      new QPushButton(ThemeIcon("process-stop", QStyle::SP_BrowserStop), "Break", central);
  grid->addWidget(new QLabel("MS Excel File", central), 0, 0);
  grid->addWidget(cbxXls_, 0, 1);
  grid->addWidget(buttonXls, 0, 2);
  grid->addWidget(new QLabel("Condition Sheet", central), 1, 0);
  grid->addWidget(cbxCond_, 1, 1);
  grid->addWidget(buttonUpdate, 1, 2);
  auto* runButtons = new QHBoxLayout;
  runButtons->addWidget(buttonCalculate_);
  runButtons->addWidget(buttonBreak_);
  grid->addLayout(runButtons, 2, 2);
  grid->addWidget(panel_, 2, 0, 1, 2);
  connect(panel_, &TParamPanelView::heightChanged, this, &TCalcStartWndView::ApplyPanelHeight);
  grid->setColumnStretch(1, 1);
  grid->setHorizontalSpacing(16);
  setCentralWidget(central);

  connect(cbxXls_, &QComboBox::activated, this, [this](int index) {
    BeforeRead();
    p_.main.CbxXlsChange(index);
    Refresh();
  });
  connect(cbxCond_, &QComboBox::activated, this, [this](int index) {
    p_.main.CbxCondChange(index);
    Refresh();
  });
  connect(buttonXls, &QPushButton::clicked, this, [this] {
    BeforeRead();
    p_.main.ButtonXlsClick();
    Refresh();
  });
  connect(buttonUpdate, &QPushButton::clicked, this, [this] {
    BeforeRead();
    p_.main.ButtonUpdateClick();
    Refresh();
  });
  connect(buttonCalculate_, &QPushButton::clicked, this,
          [this] { RunCalculation([this] { p_.main.ButtonCalculate(); }); });
  connect(buttonBreak_, &QPushButton::clicked, this, [this] {
    if (windows_.placeLog) windows_.placeLog();
    p_.main.Break();
    SetBusyCursor(false);
    RefreshStatus();
  });
  for (QWidget* w : {static_cast<QWidget*>(buttonXls), static_cast<QWidget*>(buttonUpdate),
                     static_cast<QWidget*>(cbxXls_), static_cast<QWidget*>(cbxCond_)}) {
    w->setStatusTip(w->toolTip());
  }
}

void TCalcStartWndView::RefreshStatus() {
  status_[0]->setText(QString::fromStdString(p_.main.StatusPanel0));
  status_[1]->setText(QString::fromStdString(p_.main.StatusPanel1));
}

void TCalcStartWndView::Refresh() {
  refreshing_ = true;
  files_.KeepLocks();  // every change of a book ends up here
  TCalcStartWnd& m = p_.main;
  setWindowTitle(QString::fromStdString(m.Caption));
  Fill(cbxXls_, m.CbxXls, m.CbxXlsIndex);
  Fill(cbxCond_, m.CbxCond, m.CbxCondIndex);
  panel_->Refresh();
  RefreshStatus();
  RefreshMenus();
  RefreshHistory();
  const bool office = choice_.Current() == SpreadsheetApplication::kLibreOffice;
  if (QAction* a = Command(office ? "MnuLibreOffice" : "MnuEmbedded")) a->setChecked(true);
  UpdateEnabled();
  refreshing_ = false;
}

void TCalcStartWndView::UpdateEnabled() {
  const bool busy = calculating_ || p_.calc.busy;
  const bool hasBook = !p_.main.CbxXls.empty();
  const bool hasSheet = !p_.main.SelectedSheet().empty();
  buttonCalculate_->setEnabled(!busy && hasSheet);
  for (const char* name : {"ButtonCalculate", "MnuReopen"}) {
    if (QAction* a = Command(name)) a->setEnabled(!busy && (hasSheet || name[0] == 'M'));
  }
  for (const char* name : {"MnuSave", "MnuCloseBook", "MnuShowInApplication", "BtnEmpty",
                           "MnuToNewExcelFile1", "MnuSaveEql"}) {
    if (QAction* a = Command(name)) a->setEnabled(!busy && hasBook);
  }
}

void TCalcStartWndView::ApplyPanelHeight(int height) {
  const int needed = std::max(height, minimumSizeHint().height());
  setMinimumHeight(needed);
  resize(width(), needed);
}

void TCalcStartWndView::OpenFile(const std::string& path) {
  if (p_.calc.IsBusy(true)) return;
  if (files_.Open(path) >= 0) p_.main.ShowBook(p_.xls.BookName());
  Refresh();
}

std::string TCalcStartWndView::GeometryText() const {
  const QRect g = geometry();
  return std::to_string(g.left()) + "," + std::to_string(g.top()) + "," +
         std::to_string(g.width()) + "," + std::to_string(g.height());
}

void TCalcStartWndView::ApplyGeometry(const std::string& text) {
  const QStringList parts = QString::fromStdString(text).split(',');
  if (parts.size() != 4) return;
  bool ok[4];
  const int v[4] = {parts[0].toInt(&ok[0]), parts[1].toInt(&ok[1]), parts[2].toInt(&ok[2]),
                    parts[3].toInt(&ok[3])};
  if (!ok[0] || !ok[1] || !ok[2] || !ok[3] || v[2] < 100 || v[3] < 50) return;
  setGeometry(v[0], v[1], v[2], v[3]);
}

void TCalcStartWndView::closeEvent(QCloseEvent* event) {
  if (calculating_ || p_.calc.busy) {
    p_.calc.IsBusy(true);  // "Press button [stop], ..."
    event->ignore();
    return;
  }
  if (!files_.CloseAllowed()) {
    event->ignore();
    return;
  }
  if (writeSetting) writeSetting("Geometry", GeometryText());
  p_.settings.SaveHistory();
  p_.main.programClosed = true;
  event->accept();
}

void TCalcStartWndView::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void TCalcStartWndView::dropEvent(QDropEvent* event) {
  for (const QUrl& url : event->mimeData()->urls()) {
    if (url.isLocalFile()) OpenFile(url.toLocalFile().toStdString());
  }
  event->acceptProposedAction();
}

void TCalcStartWndView::moveEvent(QMoveEvent* event) {
  QMainWindow::moveEvent(event);
  if (isVisible()) geometryTimer_->start();
}

void TCalcStartWndView::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  if (isVisible()) geometryTimer_->start();
}

}  // namespace ploxen
