// The "Behaviour of System" window.
#include "thermo/TDynOprtView.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "gui/Icons.h"
#include "thermo/TDynOprt.h"

namespace ploxen {

TTDynOprtWndView::TTDynOprtWndView(TTDynOprtWnd& model, QWidget* parent)
    : QDialog(parent), model_(model) {
  setWindowTitle(TTDynOprtWnd::kCaption);
  setWindowIcon(AppIcon());
  auto* layout = new QVBoxLayout(this);
  auto* fluids = new QGroupBox("Behaviour of Fluids", this);
  auto* fluidsLayout = new QVBoxLayout(fluids);
  group_ = new QButtonGroup(this);
  const std::vector<std::string> captions = TTDynOprtWnd::RGgrlItems();
  for (size_t i = 0; i < captions.size(); ++i) {
    auto* item = new QRadioButton(QString::fromStdString(captions[i]), fluids);
    group_->addButton(item, static_cast<int>(i));
    fluidsLayout->addWidget(item);
    items_.push_back(item);
  }
  layout->addWidget(fluids, 1);

  auto* database = new QGroupBox("Database", this);
  auto* dbLayout = new QHBoxLayout(database);
  editDB_ = new QLineEdit(database);
  editDB_->setReadOnly(true);
  buttonDB_ = new QPushButton(". . .", database);
  buttonDB_->setToolTip("Open Datasource");
  dbLayout->addWidget(editDB_, 1);
  dbLayout->addSpacing(8);
  dbLayout->addWidget(buttonDB_);
  layout->addWidget(database);

  extrapolation_ = new QCheckBox("Extrapolation", this);
  extrapolation_->setVisible(false);  // the main window's menu item toggles it

  auto* buttons = new QHBoxLayout;
  auto* close = new QPushButton("Close", this);
  buttons->addStretch();
  buttons->addWidget(close);
  buttons->addStretch();
  layout->addLayout(buttons);

  connect(group_, &QButtonGroup::idClicked, this, [this](int index) {
    if (refreshing_) return;
    model_.RGgrlClick(index);
    if (onModelChosen) onModelChosen(index);
  });
  connect(buttonDB_, &QPushButton::clicked, this, [this] {
    const std::string before = model_.DatabasePath();
    model_.ButtonDBClick();
    Refresh();
    if (model_.DatabasePath() != before && onDatabaseChosen)
      onDatabaseChosen(model_.DatabasePath());
  });
  connect(close, &QPushButton::clicked, this, &QDialog::accept);
  Refresh();
}

void TTDynOprtWndView::Refresh() {
  refreshing_ = true;
  if (model_.Model() >= 0 && model_.Model() < static_cast<int>(items_.size())) {
    items_[model_.Model()]->setChecked(true);
  }
  editDB_->setText(QString::fromStdString(model_.EditDB()));
  extrapolation_->setChecked(model_.CBExtrapolation());
  refreshing_ = false;
}

}  // namespace ploxen
