// The parameter panel of the main window.
#include "app/ParamPanelView.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

#include "app/CalcStart.h"
#include "app/ParamPanel.h"

namespace ploxen {

TParamPanelView::TParamPanelView(TParamPanel& panel, TCalcStartWnd& main, UserDialogs& dialogs,
                                 QWidget* parent)
    : QWidget(parent), panel_(panel), main_(main), dialogs_(dialogs) {
  btnExpand_ = new QToolButton(this);
  btnExpand_->setObjectName("BtnExpand");
  btnExpand_->setArrowType(Qt::DownArrow);
  btnExpand_->setToolTip("Parameter String for external start");
  btnCollaps_ = new QToolButton(this);
  btnCollaps_->setObjectName("BtnCollaps");
  btnCollaps_->setArrowType(Qt::UpArrow);
  btnCollaps_->setToolTip("Close the parameter panel");
  frame_ = new QFrame(this);
  frame_->setObjectName("PnlParam");
  frame_->setFrameShape(QFrame::StyledPanel);
  editPrm_ = new QLineEdit(frame_);
  editPrm_->setObjectName("EditPrm");
  editPrm_->setReadOnly(true);
  editPrm_->setToolTip("Parameter String for external start");
  chkSw_ = new QCheckBox("Don't close", frame_);
  chkSw_->setObjectName("ChkSw");
  btnMake_ = new QPushButton("Make ->", frame_);
  btnMake_->setObjectName("BtnMake");
  btnCopy_ = new QPushButton("Copy", frame_);
  btnCopy_->setObjectName("BtnCopy");
  btnSaveLnk_ = new QPushButton("Save as Link ->", frame_);
  btnSaveLnk_->setObjectName("BtnSaveLnk");
  auto* grid = new QGridLayout(frame_);
  grid->addWidget(editPrm_, 0, 0, 1, 5);
  grid->addWidget(btnMake_, 1, 0);
  grid->addWidget(btnCopy_, 1, 1);
  grid->addWidget(btnSaveLnk_, 1, 2);
  grid->addWidget(chkSw_, 1, 3);
  grid->setColumnStretch(4, 1);
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  auto* toggles = new QVBoxLayout;
  toggles->addWidget(btnExpand_);
  toggles->addWidget(btnCollaps_);
  toggles->addStretch(1);
  layout->addLayout(toggles);
  layout->addWidget(frame_, 1);

  auto toggle = [this](bool open) {
    panel_.SetExpanded(open);
    Refresh();
    Q_EMIT heightChanged(panel_.WindowHeight());
  };
  connect(btnExpand_, &QToolButton::clicked, this, [toggle] { toggle(true); });
  connect(btnCollaps_, &QToolButton::clicked, this, [toggle] { toggle(false); });
  connect(chkSw_, &QCheckBox::toggled, this, [this](bool on) { panel_.ChkSw = on; });
  connect(btnMake_, &QPushButton::clicked, this, [this] {
    panel_.BtnMakeClick();
    Refresh();
  });
  connect(btnCopy_, &QPushButton::clicked, this, [this] {
    QApplication::clipboard()->setText(QString::fromStdString(panel_.CopyText()));
  });
  connect(btnSaveLnk_, &QPushButton::clicked, this, [this] { panel_.BtnSaveLnkClick(dialogs_); });
  Refresh();
}

void TParamPanelView::Refresh() {
  frame_->setVisible(panel_.PnlParam);
  btnExpand_->setVisible(panel_.BtnExpandVisible());
  btnCollaps_->setVisible(panel_.BtnCollapsVisible());
  chkSw_->setChecked(panel_.ChkSw);
  editPrm_->setText(QString::fromStdString(main_.EditPrm));
}

}  // namespace ploxen
