// The state-function window.
#include "process/SetStFnView.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/ComboLists.h"
#include "gui/Icons.h"
#include "process/SetStFn.h"

namespace ploxen {
namespace {

void Fill(QComboBox* box, const ComboList& list) {
  FillCombo(box, list.items, list.itemIndex);
}

}  // namespace

TSetStFnDlgView::TSetStFnDlgView(TSetStFnDlg& dialog, QWidget* parent)
    : QDialog(parent), dialog_(dialog) {
  setWindowTitle(TSetStFnDlg::kCaption);
  setWindowIcon(AppIcon());
  auto* layout = new QVBoxLayout(this);
  auto* form = new QFormLayout;
  layout->addLayout(form);
  cbxC_ = new QComboBox(this);
  cbxC_->setObjectName("CbxC");
  cbxF_ = new QComboBox(this);
  cbxF_->setObjectName("CbxF");
  cbxDim_ = new QComboBox(this);
  cbxDim_->setObjectName("CbxDim");
  form->addRow("Column in Sheets", cbxC_);
  form->addRow("Function / Data", cbxF_);
  form->addRow("Dimension", cbxDim_);
  auto* buttons = new QHBoxLayout;
  btnSet_ = new QPushButton(QString::fromStdString(dialog_.BtnSetCaption), this);
  btnSet_->setObjectName("BtnSet");
  btnSet_->setDefault(true);
  buttons->addStretch();
  buttons->addWidget(btnSet_);
  layout->addLayout(buttons);
  status_ = new QLabel(this);
  status_->setFrameShape(QFrame::StyledPanel);
  layout->addWidget(status_);

  connect(cbxC_, &QComboBox::currentIndexChanged, this, [this](int index) {
    if (!refreshing_) dialog_.CbxC.itemIndex = index;
  });
  connect(cbxF_, &QComboBox::currentIndexChanged, this, [this](int index) {
    if (refreshing_) return;
    dialog_.CbxF.itemIndex = index;
    dialog_.CbxFChange();
    Refresh();
  });
  connect(cbxDim_, &QComboBox::currentIndexChanged, this, [this](int index) {
    if (!refreshing_) dialog_.CbxDim.itemIndex = index;
  });
  connect(btnSet_, &QPushButton::clicked, this, [this] {
    const int written = dialog_.BtnSetClick();
    Refresh();
    if (written > 0 && afterSet) afterSet();
  });
  Refresh();
}

void TSetStFnDlgView::Refresh() {
  refreshing_ = true;
  Fill(cbxC_, dialog_.CbxC);
  Fill(cbxF_, dialog_.CbxF);
  Fill(cbxDim_, dialog_.CbxDim);
  cbxDim_->setEnabled(dialog_.CbxDimEnabled);
  btnSet_->setText(QString::fromStdString(dialog_.BtnSetCaption));
  status_->setText(QString::fromStdString(dialog_.StatusText));
  refreshing_ = false;
}

}  // namespace ploxen
