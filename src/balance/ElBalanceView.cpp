// The element balance table window.
#include "balance/ElBalanceView.h"

#include <QAction>
#include <QBrush>
#include <QCheckBox>
#include <QColor>
#include <QComboBox>
#include <QFontDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSplitter>
#include <QTabWidget>
#include <QVBoxLayout>

#include "balance/ElBalance.h"
#include "gui/ComboLists.h"
#include "gui/GridTable.h"
#include "gui/Icons.h"
#include "gui/StringGridModel.h"

namespace ploxen {
namespace {

/// A phase grid of the balance: the highlighted column pair has its own background.
class BalanceGridModel : public StringGridModel {
 public:
  BalanceGridModel(TElBalanceDlg& dialog, int tag)
      : StringGridModel(dialog.Grid(tag)), dialog_(dialog), tag_(tag) {}

  QVariant data(const QModelIndex& index, int role) const override {
    if (role != Qt::BackgroundRole) return StringGridModel::data(index, role);
    if (!index.isValid()) return QVariant();
    if (dialog_.IsHighlighted(tag_, GridColumn(index), GridRow(index))) {
      return QBrush(QColor(kHighlightColour.red, kHighlightColour.green, kHighlightColour.blue));
    }
    return QBrush(Qt::white);
  }

 private:
  TElBalanceDlg& dialog_;
  int tag_;
};

constexpr int kPageOfSlot[9] = {0, 0, 0, 1, 1, 1, 2, 2, 2};

}  // namespace

TElBalanceDlgView::TElBalanceDlgView(TElBalanceDlg& dialog, TTablOprtWnd& table, QWidget* parent)
    : QDialog(parent), dialog_(dialog), table_(table) {
  setWindowIcon(AppIcon());
  setSizeGripEnabled(true);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 4, 4, 2);
  auto* bar = new QHBoxLayout;
  layout->addLayout(bar);
  cbe_ = new QComboBox(this);
  cbe_->setObjectName("CBE");
  cbe_->setMinimumContentsLength(4);
  buttonUpdate_ = new QPushButton("Update", this);
  buttonUpdate_->setObjectName("ButtonUpdate");
  buttonUpdate_->setToolTip("Builds the tables of the selected element");
  cbxAllComp_ = new QCheckBox("Show all compounds", this);
  cbxAllComp_->setObjectName("CbxAllComp");
  buttonExit_ = new QPushButton("Exit", this);
  buttonExit_->setObjectName("ButtonExit");
  bar->addWidget(new QLabel("Element", this));
  bar->addWidget(cbe_);
  bar->addWidget(buttonUpdate_);
  bar->addWidget(cbxAllComp_);
  bar->addStretch();
  bar->addWidget(buttonExit_);

  auto* splitter = new QSplitter(Qt::Vertical, this);
  layout->addWidget(splitter, 1);
  const char* pageNames[3] = {"PCGas", "PCLiquid", "PCSolid"};
  for (int kind = 0; kind < 3; ++kind) {
    pages_[kind] = new QTabWidget(splitter);
    pages_[kind]->setObjectName(pageNames[kind]);
    splitter->addWidget(pages_[kind]);
  }
  const char* gridNames[9] = {"", "SGG1", "SGG2", "SGL1", "SGL2", "SGL3", "SGS1", "SGS2", "SGS3"};
  for (int tag = 1; tag <= TElBalanceDlg::kSlotCount; ++tag) {
    dialog_.Grid(tag).tag = tag;
    auto* grid =
        new GridTable(dialog_.Grid(tag), table, nullptr, new BalanceGridModel(dialog_, tag));
    grid->setObjectName(gridNames[tag]);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setContextMenuPolicy(Qt::CustomContextMenu);
    grid->onCellSelected = [this, tag](int col, int) { CellSelected(tag, col); };
    grid->windowKeys = [this, tag](int key, ShiftState s) {
      return Keys(tag, key, s.ctrl, s.shift, s.alt);
    };
    connect(grid, &QWidget::customContextMenuRequested, this, [this, tag](const QPoint& at) {
      PreparePopup(tag)->popup(grids_[tag]->viewport()->mapToGlobal(at));
    });
    grids_[tag] = grid;
    pages_[kPageOfSlot[tag]]->addTab(grid, QString());
  }

  status_ = new QHBoxLayout;
  layout->addLayout(status_);
  for (int k = 0; k < TElBalanceDlg::kStatusPanels; ++k) {
    panels_[k] = new QLabel(this);
    panels_[k]->setFrameShape(QFrame::StyledPanel);
    panels_[k]->setObjectName(QString("StatusPanel%1").arg(k));
    status_->addWidget(panels_[k], 1);
  }
  BuildPopup();

  connect(cbe_, &QComboBox::currentIndexChanged, this, [this](int index) {
    if (!refreshing_) dialog_.CBEIndex = index;
  });
  connect(cbxAllComp_, &QCheckBox::toggled, this, [this](bool on) {
    if (!refreshing_) dialog_.CbxAllComp = on;
  });
  connect(buttonUpdate_, &QPushButton::clicked, this, [this] {
    dialog_.ButtonUpdate();
    Refresh();
  });
  connect(buttonExit_, &QPushButton::clicked, this, [this] {
    dialog_.Close();
    hide();
  });
  dialog_.onFontDialog = [this] {
    bool ok = false;
    const QFont chosen = QFontDialog::getFont(&ok, font(), this);
    if (ok) setFont(chosen);
  };
  resize(860, 560);
  Refresh();
}

void TElBalanceDlgView::BuildPopup() {
  popup_ = new QMenu(this);
  popup_
      ->addAction("Sort by Name", this,
                  [this] {
                    dialog_.PopSortByName();
                    ReloadGrids();
                  })
      ->setObjectName("PopSortByName");
  sortDown_ = popup_->addAction(TElBalanceDlg::kSortDownCaption, this, [this] {
    dialog_.PopSortDown();
    ReloadGrids();
  });
  sortDown_->setObjectName("PopSortDown");
  sortUp_ = popup_->addAction(TElBalanceDlg::kSortUpCaption, this, [this] {
    dialog_.PopSortUp();
    ReloadGrids();
  });
  sortUp_->setObjectName("PopSortUp");
  popup_->addSeparator();
  popup_
      ->addAction("Copy", this,
                  [this] {
                    dialog_.PopCopy();
                    PutOnClipboard(table_);
                  })
      ->setObjectName("PopCopy");
  popup_
      ->addAction("To Ms Excel", this,
                  [this] {
                    if (dialog_.PopToExcel() > 0 && afterExport) afterExport();
                  })
      ->setObjectName("PopToExcel");
}

QMenu* TElBalanceDlgView::PreparePopup(int tag) {
  dialog_.PopupOpen(tag);
  sortDown_->setText(QString::fromStdString(dialog_.PopSortDownCaption));
  sortUp_->setText(QString::fromStdString(dialog_.PopSortUpCaption));
  return popup_;
}

void TElBalanceDlgView::CellSelected(int tag, int col) {
  if (refreshing_) return;
  GridTable* grid = grids_[tag];
  // Column 0 is the vertical header; the other columns' widths are the view's.
  auto& widths = dialog_.ColumnWidths(tag);
  for (int c = 1; c < TElBalanceDlg::kColumns; ++c) widths[c] = grid->columnWidth(c - 1);
  dialog_.SelectCell(tag, col, dialog_.Grid(tag).row);
  if (col >= 1 && col < TElBalanceDlg::kColumns) {
    for (int k = 1; k <= TElBalanceDlg::kSlotCount; ++k) {
      if (k != tag) grids_[k]->setColumnWidth(col - 1, dialog_.ColumnWidths(k)[col]);
    }
  }
  // The highlighted pair moved, or the selected row did: every grid is drawn again.
  repaints_ = dialog_.RepaintCount();
  for (int k = 1; k <= TElBalanceDlg::kSlotCount; ++k) grids_[k]->viewport()->update();
}

bool TElBalanceDlgView::Keys(int tag, int key, bool ctrl, bool shift, bool alt) {
  const bool used = dialog_.KeyDown(tag, key, ShiftState{shift, ctrl, alt});
  if (!dialog_.open) hide();
  if (used && ctrl && key == kKeyC) PutOnClipboard(table_);
  if (used && alt) grids_[tag]->Reload();
  return used;
}

void TElBalanceDlgView::ReloadGrids() {
  for (int k = 1; k <= TElBalanceDlg::kSlotCount; ++k) grids_[k]->Reload();
}

void TElBalanceDlgView::Refresh() {
  refreshing_ = true;
  setWindowTitle(QString::fromStdString(dialog_.Caption));
  FillCombo(cbe_, dialog_.CBE, dialog_.CBEIndex);
  cbxAllComp_->setChecked(dialog_.CbxAllComp);
  for (int tag = 1; tag <= TElBalanceDlg::kSlotCount; ++tag) {
    QTabWidget* page = pages_[kPageOfSlot[tag]];
    const int index = page->indexOf(grids_[tag]);
    page->setTabText(index, QString::fromStdString(dialog_.TabCaption(tag)));
    page->setTabVisible(index, dialog_.TabVisible(tag));
    grids_[tag]->setEnabled(dialog_.GridVisible(tag));
    grids_[tag]->Reload();
  }
  for (int k = 0; k < TElBalanceDlg::kStatusPanels; ++k) {
    panels_[k]->setText(QString::fromStdString(dialog_.StatusPanels[k]));
  }
  refreshing_ = false;
}

void TElBalanceDlgView::hideEvent(QHideEvent* event) {
  dialog_.Close();
  QDialog::hideEvent(event);
}

void TElBalanceDlgView::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  dialog_.Resize(width());
  // Five panels of a quarter of the width each do not fit side by side: they share it.
  for (int k = 0; k < TElBalanceDlg::kStatusPanels; ++k) {
    status_->setStretch(k, dialog_.statusPanelWidths[k]);
  }
}

}  // namespace ploxen
