// The calculation criteria window.
#include "kernel/EqKernelView.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "gui/Icons.h"
#include "kernel/EqKernel.h"

namespace ploxen {

TEqlKernelView::TEqlKernelView(TEqlKernel& kernel, QWidget* parent)
    : QDialog(parent), kernel_(kernel) {
  setWindowTitle("Equilibrium - Calculation Criteria");
  setWindowIcon(AppIcon());
  auto* layout = new QVBoxLayout(this);
  auto* form = new QFormLayout;
  layout->addLayout(form);
  criteria_ = new QVBoxLayout;
  layout->addLayout(criteria_);

  editILimit_ = BindEdit("lIter.Limit", kernel_.EditILimit, [this] { kernel_.EditILimitChange(); });
  editPrec_ = BindEdit("Precision", kernel_.EditPrec, {});
  editApprFactor_ = BindEdit("Appr.Factor", kernel_.EditApprFactor, {});
  edtZero_ = BindEdit("Ignore mol values less than [mol]  <", kernel_.EdtZero, {});
  form->addRow("lIter.Limit", editILimit_);
  form->addRow("Precision", editPrec_);
  form->addRow("Appr.Factor", editApprFactor_);
  cbAutoIfa_ = new QCheckBox("Auto Appr. Factor", this);
  checks_.emplace_back(cbAutoIfa_, &kernel_.CBAutoIfa);
  connect(cbAutoIfa_, &QCheckBox::toggled, this, [this](bool on) {
    if (refreshing_) return;
    kernel_.CBAutoIfa = on;
    kernel_.CBAutoIfaClick();
    Refresh();
  });
  form->addRow(QString(), cbAutoIfa_);
  form->addRow("Ignore mol values less than [mol]  <", edtZero_);
  connect(edtZero_, &QLineEdit::editingFinished, this, [this] {
    kernel_.EdtZeroExit();
    Refresh();
  });
  BuildExtendedOptions();

  auto* buttons = new QHBoxLayout;
  close_ = new QPushButton("Close", this);
  close_->setDefault(true);  // Enter outside a button closes the window, as Escape does
  buttons->addStretch();
  buttons->addWidget(close_);
  buttons->addStretch();
  layout->addLayout(buttons);
  connect(close_, &QPushButton::clicked, this, &QDialog::accept);
  Refresh();
}

void TEqlKernelView::BuildExtendedOptions() {
  extendedGroup_ = new QGroupBox("Extended Options (Beta)", this);
  extended_ = new QVBoxLayout(extendedGroup_);
  cbxFast_ =
      BindCheck("CbxFast", "Fast Iteration", kernel_.CbxFast, [this] { kernel_.CbxFastClick(); });
  cbAutoCorr_ = BindCheck("CBAutoCorr", "Auto Correction", kernel_.CBAutoCorr);
  cbMaxEntropy_ =
      BindCheck("CBMaxEntropy", "Turbulent System (High Entropy)", kernel_.CBMaxEntropy);
  BindCheck("CbxExact", kCaptionExact, kernel_.CbxExact);
  auto* row = new QHBoxLayout;
  editPhaseCheck_ = new QSpinBox(extendedGroup_);
  editPhaseCheck_->setMinimum(1);
  editPhaseCheck_->setMaximum(99);
  row->addWidget(new QLabel("Calc. Check", extendedGroup_));
  row->addWidget(editPhaseCheck_);
  row->addStretch();
  extended_->addLayout(row);
  connect(editPhaseCheck_, &QSpinBox::valueChanged, this, [this](int value) {
    if (!refreshing_) kernel_.EditPhaseCheck = value;
  });
  criteria_->addWidget(extendedGroup_);
}

QLineEdit* TEqlKernelView::BindEdit(const char* label, std::string& field,
                                    std::function<void()> changed) {
  auto* edit = new QLineEdit(this);
  edit->setAccessibleName(QString::fromLatin1(label));
  edits_.emplace_back(edit, &field);
  connect(edit, &QLineEdit::textEdited, this, [this, &field, changed](const QString& text) {
    field = text.toStdString();
    if (changed) {
      changed();
      Refresh();
    }
  });
  return edit;
}

QCheckBox* TEqlKernelView::BindCheck(const char* name, const char* caption, bool& field,
                                     std::function<void()> clicked) {
  auto* box = new QCheckBox(QString::fromLatin1(caption), extendedGroup_);
  box->setObjectName(QString::fromLatin1(name));
  extended_->addWidget(box);
  checks_.emplace_back(box, &field);
  connect(box, &QCheckBox::toggled, this, [this, &field, clicked, name](bool on) {
    if (refreshing_) return;
    field = on;
    if (clicked) clicked();
    Refresh();
    if (onOptionChanged) onOptionChanged(name, on);
  });
  return box;
}

void TEqlKernelView::Refresh() {
  refreshing_ = true;
  for (auto& [edit, field] : edits_) {
    const QString text = QString::fromStdString(*field);
    if (edit->text() != text) edit->setText(text);
  }
  for (auto& [box, field] : checks_) box->setChecked(*field);
  editApprFactor_->setEnabled(kernel_.EditApprFactorEnabled);
  editPhaseCheck_->setValue(kernel_.EditPhaseCheck);
  refreshing_ = false;
}

}  // namespace ploxen
