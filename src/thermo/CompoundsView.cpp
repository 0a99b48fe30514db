// The compound selection dialog: two light list models over the rows of TCompoundsDlg.
#include "thermo/CompoundsView.h"

#include <QAbstractTableModel>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include "process/SlotCompounds.h"
#include "thermo/Compounds.h"

namespace ploxen {

/// One list of the dialog as a table model; rows are read straight from the dialog's vector,
/// so a refill costs one reset and no copies.
class CompoundListModel : public QAbstractTableModel {
 public:
  CompoundListModel(std::vector<CompoundRow>& rows, QObject* parent)
      : QAbstractTableModel(parent), rows_(rows) {}
  int rowCount(const QModelIndex& parent = QModelIndex()) const override {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
  }
  int columnCount(const QModelIndex& parent = QModelIndex()) const override {
    return parent.isValid() ? 0 : TCompoundsDlg::kColumns;
  }
  QVariant data(const QModelIndex& index, int role) const override {
    if (!index.isValid() || index.row() >= static_cast<int>(rows_.size())) return {};
    if (role == Qt::DisplayRole) {
      return QString::fromStdString(TCompoundsDlg::CellText(rows_[index.row()], index.column()));
    }
    if (role == Qt::TextAlignmentRole && index.column() == 3) {
      return QVariant(Qt::AlignRight | Qt::AlignVCenter);
    }
    return {};
  }
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
    static const char* kHeaders[] = {"Substance", "Desc.", "Comment", "n ->"};
    if (role != Qt::DisplayRole) return {};
    if (orientation == Qt::Horizontal && section >= 0 && section < TCompoundsDlg::kColumns) {
      return QString(kHeaders[section]);
    }
    return {};
  }
  void Reset() {
    beginResetModel();
    endResetModel();
  }

 private:
  std::vector<CompoundRow>& rows_;
};

TCompoundsDlgView::TCompoundsDlgView(TCompoundsDlg& model, QWidget* parent)
    : QDialog(parent), model_(model) {
  setWindowTitle(TCompoundsDlg::kCaption);
  setObjectName("CompoundsDlg");
  auto* layout = new QVBoxLayout(this);
  auto* top = new QHBoxLayout;
  layout->addLayout(top, 1);

  gbxDatabase_ = BuildGroup(TCompoundsDlg::kSource, "Substances", "GbxDatabase");
  include_ = BuildMoveButton(gbxDatabase_, "Select - >", "IncludeBtn",
                             "Take the selected substances into the system");
  top->addWidget(gbxDatabase_, 1);
  gbxSystem_ = BuildGroup(TCompoundsDlg::kSystem, "Selections for System", "GbxSystem");
  exclude_ = BuildMoveButton(gbxSystem_, "< - Deselect", "ExcludeBtn",
                             "Take the selected substances out of the system");
  top->addWidget(gbxSystem_, 1);

  auto* phase = new QGroupBox("Phase", this);
  phase->setObjectName("GBPhase");
  auto* side = new QVBoxLayout(phase);
  editName_ = new QLineEdit(phase);
  editName_->setObjectName("EditName");
  editName_->setReadOnly(true);
  side->addWidget(editName_);
  side->addWidget(new QLabel("Containing Element", phase));
  cbxEl_ = new QComboBox(phase);
  cbxEl_->setObjectName("CbxEl");
  cbxEl_->setEditable(true);
  cbxEl_->setInsertPolicy(QComboBox::NoInsert);
  cbxEl_->setToolTip("Only substances that contain this element; type a symbol to filter");
  side->addWidget(cbxEl_);
  side->addStretch(1);
  ok_ = new QPushButton("OK", phase);
  ok_->setObjectName("ButtonOk");
  ok_->setDefault(false);
  ok_->setAutoDefault(false);
  auto* cancel = new QPushButton("Cancel", phase);
  cancel->setObjectName("ButtonCancel");
  cancel->setAutoDefault(false);
  auto* help = new QPushButton("Help", phase);
  help->setObjectName("ButtonHelp");
  help->setAutoDefault(false);
  side->addWidget(ok_);
  side->addWidget(cancel);
  side->addWidget(help);
  top->addWidget(phase, 0);

  auto* bar = new QHBoxLayout;
  const int stretch[3] = {1, 2, 1};
  for (int k = 0; k < 3; ++k) {
    status_[k] = new QLabel(this);
    status_[k]->setObjectName(QString("StBar%1").arg(k));
    status_[k]->setFrameShape(QFrame::StyledPanel);
    status_[k]->setFrameShadow(QFrame::Sunken);
    status_[k]->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);  // long references
    bar->addWidget(status_[k], stretch[k]);
  }
  layout->addLayout(bar);

  connect(include_, &QPushButton::clicked, this, [this] {
    model_.IncludeBtnClick(SelectedRows(TCompoundsDlg::kSource));
    RefreshLists();
  });
  connect(exclude_, &QPushButton::clicked, this, [this] {
    model_.ExcludeBtnClick(SelectedRows(TCompoundsDlg::kSystem));
    RefreshLists();
  });
  connect(cbxEl_, qOverload<int>(&QComboBox::activated), this, [this](int index) {
    if (refreshing_) return;
    model_.CbxElChange(index);
    RefreshLists();
  });
  connect(cbxEl_, &QComboBox::editTextChanged, this, [this](const QString& text) {
    if (refreshing_) return;
    model_.CbxElEdited(text.toStdString());
    RefreshLists();
  });
  connect(ok_, &QPushButton::clicked, this, [this] {
    model_.ButtonOkClick();
    accept();
  });
  connect(cancel, &QPushButton::clicked, this, &TCompoundsDlgView::reject);
  connect(help, &QPushButton::clicked, this, [this] {
    if (onHelp) onHelp();
  });
  resize(900, 480);
}

TCompoundsDlgView::~TCompoundsDlgView() = default;

QGroupBox* TCompoundsDlgView::BuildGroup(int list, const char* caption, const char* name) {
  auto* group = new QGroupBox(caption, this);
  group->setObjectName(name);
  BuildList(list, group);
  return group;
}

QPushButton* TCompoundsDlgView::BuildMoveButton(QGroupBox* group, const char* caption,
                                                const char* name, const char* tip) {
  auto* button = new QPushButton(caption, group);
  button->setObjectName(name);
  button->setToolTip(tip);
  button->setAutoDefault(false);
  group->layout()->addWidget(button);
  return button;
}

std::vector<int> TCompoundsDlgView::SelectedRows(int list) const {
  std::vector<int> rows;
  for (const QModelIndex& i : lists_[list]->selectionModel()->selectedRows()) {
    rows.push_back(i.row());
  }
  return rows;
}

QTableView* TCompoundsDlgView::BuildList(int list, QGroupBox* group) {
  auto* box = new QVBoxLayout(group);
  auto* view = new QTableView(group);
  view->setObjectName(list == TCompoundsDlg::kSource ? "LVSrc" : "LVDst");
  models_[list] = new CompoundListModel(model_.List(list), this);
  view->setModel(models_[list]);
  view->setSelectionBehavior(QAbstractItemView::SelectRows);
  view->setSelectionMode(QAbstractItemView::ExtendedSelection);
  view->setEditTriggers(QAbstractItemView::NoEditTriggers);
  view->verticalHeader()->hide();
  view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 4);
  view->horizontalHeader()->setStretchLastSection(false);
  view->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
  view->horizontalHeader()->setSectionsClickable(true);
  view->setColumnWidth(0, 120);
  view->setColumnWidth(2, 80);
  view->setColumnWidth(3, 48);
  view->setWordWrap(false);
  view->installEventFilter(this);
  box->addWidget(view, 1);
  lists_[list] = view;
  connect(view->horizontalHeader(), &QHeaderView::sectionClicked, this, [this, list](int column) {
    model_.SortByColumn(list, column);
    models_[list]->Reset();
  });
  connect(view, &QTableView::doubleClicked, this, [this, list](const QModelIndex& index) {
    model_.MoveRow(list, index.row());
    RefreshLists();
  });
  connect(view->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
          [this, list] { SelectedRowChanged(list); });
  return view;
}

bool TCompoundsDlgView::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    for (int list = 0; list < 2; ++list) {
      if (watched != lists_[list]) continue;
      if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) break;
      const int row = lists_[list]->currentIndex().row();
      model_.MoveRow(list, row);
      RefreshLists();
      // Enter keeps the row index, so that the next compound is one key away.
      const int rows = models_[list]->rowCount();
      if (rows > 0) lists_[list]->selectRow(std::min(row, rows - 1));
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

void TCompoundsDlgView::SelectedRowChanged(int list) {
  if (refreshing_) return;
  model_.SelectRow(list, lists_[list]->currentIndex().row());
  RefreshStatus();
}

void TCompoundsDlgView::RefreshLists() {
  refreshing_ = true;
  for (int list = 0; list < 2; ++list) models_[list]->Reset();
  gbxDatabase_->setTitle(QString::fromStdString(model_.GbxDatabase));
  gbxSystem_->setTitle(QString::fromStdString(model_.GbxSystem));
  refreshing_ = false;
  RefreshStatus();
}

void TCompoundsDlgView::RefreshStatus() {
  for (int k = 0; k < 3; ++k) status_[k]->setText(QString::fromStdString(model_.StBar[k]));
  status_[1]->setToolTip(status_[1]->text());  // the references seldom fit their panel
}

void TCompoundsDlgView::Refresh() {
  refreshing_ = true;
  editName_->setText(QString::fromStdString(model_.EditName));
  cbxEl_->clear();
  for (const std::string& e : model_.CbxEl) cbxEl_->addItem(QString::fromStdString(e));
  cbxEl_->setCurrentIndex(model_.CbxElIndex);
  refreshing_ = false;
  RefreshLists();
  if (!model_.LVSrc.empty()) {
    refreshing_ = true;
    lists_[0]->selectRow(0);
    refreshing_ = false;
  }
}

void TCompoundsDlgView::reject() {
  model_.ButtonCancelClick();
  QDialog::reject();
}

bool TCompoundsDlgView::ExecFilled() {
  Refresh();
  return exec() == QDialog::Accepted && model_.accepted;
}

int TCompoundsDlgView::ExecForSlot(TEqlCalcWnd& calc, int slot) {
  if (OpenCompoundsForSlot(model_, calc, slot) < 1) return 0;
  if (!ExecFilled()) return 0;
  AcceptCompoundsForSlot(model_, calc, slot);
  return 1;
}

}  // namespace ploxen
