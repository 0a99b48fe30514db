// The element balance workbook window.
#include "balance/XelBalView.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

#include "balance/XelBal.h"
#include "gui/ComboLists.h"
#include "gui/Icons.h"

namespace ploxen {

TXelBalDlgView::TXelBalDlgView(TXelBalDlg& dialog, QWidget* parent)
    : QDialog(parent), dialog_(dialog) {
  setWindowIcon(AppIcon());
  auto* layout = new QGridLayout(this);
  cbe_ = new QComboBox(this);
  cbe_->setObjectName("CBE");
  cbe_->setMinimumContentsLength(6);
  btnBalance_ = new QPushButton("Create", this);
  btnBalance_->setObjectName("BtnBalance");
  btnBalance_->setDefault(true);
  btnElements_ = new QPushButton("Elements", this);
  btnElements_->setObjectName("BtnElements");
  cbxCompact_ = new QCheckBox("Compact", this);
  cbxCompact_->setObjectName("CbxCompact");
  layout->addWidget(new QLabel("Element", this), 0, 0);
  layout->addWidget(cbe_, 0, 1);
  layout->addWidget(btnBalance_, 0, 2);
  layout->addWidget(cbxCompact_, 1, 1);
  layout->addWidget(btnElements_, 1, 2);
  layout->setColumnStretch(1, 1);

  connect(cbe_, &QComboBox::currentIndexChanged, this, [this](int index) {
    if (!refreshing_) dialog_.CBEIndex = index;
  });
  connect(cbxCompact_, &QCheckBox::toggled, this, [this](bool on) {
    if (!refreshing_) dialog_.CbxCompact = on;
  });
  connect(btnElements_, &QPushButton::clicked, this, [this] {
    dialog_.BtnElementsClick();
    Refresh();
  });
  connect(btnBalance_, &QPushButton::clicked, this, [this] {
    const bool wasVisible = dialog_.visible;
    dialog_.BtnBalanceClick(true);
    Refresh();
    // The dialog closes itself once the workbook is written.
    if (wasVisible && !dialog_.visible) {
      hide();
      if (afterCreate) afterCreate();
    }
  });
  Refresh();
}

void TXelBalDlgView::Refresh() {
  refreshing_ = true;
  setWindowTitle(
      QString::fromStdString(dialog_.Caption.empty() ? TXelBalDlg::kCaption : dialog_.Caption));
  FillCombo(cbe_, dialog_.CBE, dialog_.CBEIndex);
  cbxCompact_->setChecked(dialog_.CbxCompact);
  // Without the element selection dialog of the desktop the button has nothing to show.
  btnElements_->setEnabled(static_cast<bool>(dialog_.showElementSelection));
  refreshing_ = false;
}

}  // namespace ploxen
