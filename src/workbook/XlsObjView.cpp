// The "MS Excel Interface" window.
#include "workbook/XlsObjView.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>
#include <QTableView>
#include <QVBoxLayout>

#include "gui/ComboLists.h"
#include "gui/Icons.h"
#include "gui/StringGridModel.h"
#include "support/UserDialogs.h"
#include "workbook/XlsObj.h"

namespace ploxen {
namespace {

void Fill(QComboBox* box, const ComboList& list) {
  FillCombo(box, list.items, list.itemIndex);
}

}  // namespace

TXlsWndView::TXlsWndView(TXlsWnd& xls, UserDialogs& dialogs, QWidget* parent)
    : QWidget(parent, Qt::Window), xls_(xls), dialogs_(dialogs) {
  setWindowTitle(QString::fromStdString(xls_.Caption));
  setWindowIcon(AppIcon());
  auto* layout = new QVBoxLayout(this);
  auto* top = new QGridLayout;
  cbxBook_ = new QComboBox(this);
  cbxSheet_ = new QComboBox(this);
  auto* updateBooks = new QPushButton("Update Work Books", this);
  auto* updateSheets = new QPushButton("Update Work Sheets", this);
  open_ = new QPushButton(ThemeIcon("document-open", QStyle::SP_DialogOpenButton), "Open", this);
  read_ = new QPushButton("Read", this);
  top->addWidget(cbxBook_, 0, 0);
  top->addWidget(updateBooks, 0, 1);
  top->addWidget(open_, 0, 2);
  top->addWidget(cbxSheet_, 1, 0);
  top->addWidget(updateSheets, 1, 1);
  top->addWidget(read_, 1, 2);
  top->setColumnStretch(0, 1);
  layout->addLayout(top);
  model_ = new StringGridModel(xls_.SGX, this);
  grid_ = new QTableView(this);
  grid_->setModel(model_);
  grid_->setWordWrap(false);
  grid_->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
  grid_->horizontalHeader()->setDefaultSectionSize(fontMetrics().horizontalAdvance('M') * 9);
  layout->addWidget(grid_, 1);
  auto* bar = new QStatusBar(this);
  status_[0] = new QLabel(this);
  status_[1] = new QLabel(this);
  bar->addWidget(status_[0], 1);
  bar->addWidget(status_[1], 1);
  layout->addWidget(bar);
  resize(fontMetrics().horizontalAdvance('M') * 60, fontMetrics().height() * 28);

  connect(updateBooks, &QPushButton::clicked, this, [this] {
    if (beforeRead) beforeRead();
    xls_.UpdateWorkBooksClick();
    Changed();
  });
  connect(updateSheets, &QPushButton::clicked, this, [this] {
    xls_.UpdateWorkSheetsClick();
    Changed();
  });
  connect(cbxBook_, &QComboBox::activated, this, [this](int index) {
    xls_.CbxBook.itemIndex = index;
    xls_.UpdateWorkSheetsClick();
    Changed();
  });
  connect(cbxSheet_, &QComboBox::activated, this,
          [this](int index) { xls_.CbxSheet.itemIndex = index; });
  connect(open_, &QPushButton::clicked, this, [this] {
    FileDialogRequest request;
    request.title = "Open";
    request.filter =
        std::string(TXlsWnd::kOpenFilter) + "|OpenDocument Spreadsheets|*.ods|All Files(*)|*.*";
    request.folder = xls_.BookFullName();
    const std::string path = dialogs_.OpenFileName(request);
    if (path.empty()) return;
    if (openFile) {
      openFile(path);
    } else {
      xls_.OpenClick(path);
    }
    Changed();
  });
  connect(read_, &QPushButton::clicked, this, [this] {
    if (beforeRead) beforeRead();
    const int sheet = xls_.CbxSheet.itemIndex;
    if (xls_.CbxBook.itemIndex >= 0 && xls_.BookIndex() != xls_.CbxBook.itemIndex + 1) {
      xls_.ListSheets(xls_.CbxBook.itemIndex + 1);
      xls_.CbxSheet.itemIndex = sheet;
    }
    xls_.ReadClick();
    model_->Reload();
    Refresh();
  });
  connect(grid_->selectionModel(), &QItemSelectionModel::currentChanged, this,
          [this](const QModelIndex& current) {
            if (!current.isValid()) return;
            xls_.SelectGridCell(model_->GridColumn(current), model_->GridRow(current));
            Refresh();
          });
  Refresh();
}

void TXlsWndView::Changed() {
  Refresh();
  if (onListsChanged) onListsChanged();
}

void TXlsWndView::Refresh() {
  refreshing_ = true;
  Fill(cbxBook_, xls_.CbxBook);
  Fill(cbxSheet_, xls_.CbxSheet);
  status_[0]->setText(QString::fromStdString(xls_.StatusPanel[0]));
  status_[1]->setText(QString::fromStdString(xls_.StatusPanel[1]));
  refreshing_ = false;
}

}  // namespace ploxen
