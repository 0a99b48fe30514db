// The periodic table of the "Elements" window.
#include "chem/ElementsView.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "chem/Elements.h"

namespace ploxen {

TElementsDlgView::TElementsDlgView(TElementsDlg& model, QWidget* parent)
    : QDialog(parent), model_(model) {
  setWindowTitle(TElementsDlg::kCaption);
  setObjectName("ElementsDlg");
  auto* layout = new QVBoxLayout(this);
  auto* table = new QGridLayout;
  table->setSpacing(2);
  layout->addLayout(table);
  for (int i = 0; i < TElementsDlg::kButtonCount; ++i) {
    auto* b = new QPushButton(this);
    b->setObjectName(QString("BitBtn%1").arg(i));
    b->setFocusPolicy(Qt::NoFocus);
    b->setMinimumWidth(30);
    b->setCheckable(true);
    buttons_[i] = b;
    connect(b, &QPushButton::clicked, this, [this, i] {
      model_.ButtonClick(i);
      Refresh();
    });
    if (i <= TElementsDlg::kLastBuiltIn) {
      const TElementsDlg::TableCell c = TElementsDlg::CellOf(i);
      table->addWidget(b, c.row, c.column);
    }
  }
  table->setRowMinimumHeight(7, 8);  // the gap above the lanthanide and actinide rows
  QHBoxLayout* userRows[2] = {new QHBoxLayout, new QHBoxLayout};
  for (int i = TElementsDlg::kLastBuiltIn + 1; i < TElementsDlg::kButtonCount; ++i) {
    QHBoxLayout* row = userRows[i < TElementsDlg::kSecondUserRow ? 0 : 1];
    row->setSpacing(0);
    row->addWidget(buttons_[i]);
  }
  for (QHBoxLayout* row : userRows) {
    row->addStretch(1);
    layout->addLayout(row);
  }
  auto* labels = new QHBoxLayout;
  label1_ = new QLabel(this);
  label1_->setObjectName("Label1");
  label2_ = new QLabel(this);
  label2_->setObjectName("Label2");
  label3_ = new QLabel(this);
  label3_->setObjectName("Label3");
  labels->addWidget(label1_, 3);
  labels->addWidget(label2_, 1);
  labels->addWidget(label3_, 1);
  accept_ = new QPushButton("Accept", this);
  accept_->setObjectName("Panel1");
  accept_->setToolTip("Accept the selection for the system");
  auto* close = new QPushButton("Close", this);
  close->setObjectName("ButtonClose");
  labels->addWidget(accept_);
  labels->addWidget(close);
  layout->addLayout(labels);
  connect(accept_, &QPushButton::clicked, this, [this] {
    model_.PanelAcceptClick();
    Refresh();
  });
  connect(close, &QPushButton::clicked, this, &QDialog::close);
  Refresh();
}

void TElementsDlgView::Refresh() {
  for (int i = 0; i < TElementsDlg::kButtonCount; ++i) {
    const TElementsDlg::ElementButton& m = model_.BitBtn[i];
    QPushButton* b = buttons_[i];
    b->setText(QString::fromStdString(m.caption));
    b->setToolTip(QString::fromStdString(m.hint));
    // Selected elements stand out also without colour vision: bold and sunken.
    b->setStyleSheet(m.red ? "color: red; font-weight: bold;" : "color: blue;");
    b->setChecked(m.red);
    if (i > TElementsDlg::kLastBuiltIn) b->setFixedWidth(m.width);
    b->setVisible(m.visible);
  }
  label1_->setText(QString::fromStdString(model_.Label1));
  label2_->setText(QString::fromStdString(model_.Label2));
  label3_->setText(QString::fromStdString(model_.Label3));
}

void TElementsDlgView::Open() {
  model_.ShowElements();
  model_.ShowSelection();
  Refresh();
  show();
  raise();
  activateWindow();
}

}  // namespace ploxen
