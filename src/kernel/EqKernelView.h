// The "Equilibrium - Calculation Criteria" window over the kernel's criteria controls.
#pragma once

#include <QDialog>

#include <functional>

class QCheckBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QVBoxLayout;

namespace ploxen {

class TEqlKernel;

/// Shows the criteria of TEqlKernel and writes the user's edits back at once.
class TEqlKernelView : public QDialog {
  Q_OBJECT

 public:
  explicit TEqlKernelView(TEqlKernel& kernel, QWidget* parent = nullptr);

  /// Shows the model's texts, check marks and enabled states.
  void Refresh();
  /// Called after the user toggled an option of the extended group (its control name).
  std::function<void(const std::string& name, bool on)> onOptionChanged;

  QLineEdit* EditILimit() const { return editILimit_; }
  QLineEdit* EditPrec() const { return editPrec_; }
  QLineEdit* EditApprFactor() const { return editApprFactor_; }
  QLineEdit* EdtZero() const { return edtZero_; }
  QCheckBox* CBAutoIfa() const { return cbAutoIfa_; }
  QCheckBox* CbxFast() const { return cbxFast_; }
  QCheckBox* CBAutoCorr() const { return cbAutoCorr_; }
  QCheckBox* CBMaxEntropy() const { return cbMaxEntropy_; }
  QSpinBox* EditPhaseCheck() const { return editPhaseCheck_; }

 private:
  QLineEdit* BindEdit(const char* label, std::string& field, std::function<void()> changed);
  /// A check box of the "Extended Options (Beta)" group bound to a flag of the model.
  QCheckBox* BindCheck(const char* name, const char* caption, bool& field,
                       std::function<void()> clicked = {});
  void BuildExtendedOptions();

  TEqlKernel& kernel_;
  QVBoxLayout* criteria_ = nullptr;
  QVBoxLayout* extended_ = nullptr;
  QGroupBox* extendedGroup_ = nullptr;
  QLineEdit* editILimit_ = nullptr;
  QLineEdit* editPrec_ = nullptr;
  QLineEdit* editApprFactor_ = nullptr;
  QLineEdit* edtZero_ = nullptr;
  QCheckBox* cbAutoIfa_ = nullptr;
  QCheckBox* cbxFast_ = nullptr;
  QCheckBox* cbAutoCorr_ = nullptr;
  QCheckBox* cbMaxEntropy_ = nullptr;
  QSpinBox* editPhaseCheck_ = nullptr;
  QPushButton* close_ = nullptr;
  std::vector<std::pair<QLineEdit*, std::string*>> edits_;
  std::vector<std::pair<QCheckBox*, bool*>> checks_;
  bool refreshing_ = false;
};

}  // namespace ploxen
