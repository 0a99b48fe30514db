// The "State Functions and Properties" window over TSetStFnDlg: target column, function, unit
// and the "Set " command.
#pragma once

#include <QDialog>

#include <functional>

class QComboBox;
class QLabel;
class QPushButton;

namespace ploxen {

class TSetStFnDlg;

/// Shows the three lists of the state-function model and forwards "Set ".
class TSetStFnDlgView : public QDialog {
  Q_OBJECT

 public:
  explicit TSetStFnDlgView(TSetStFnDlg& dialog, QWidget* parent = nullptr);

  /// Shows the model's lists, selections, enabled states and the last progress text.
  void Refresh();
  /// Runs after "Set " wrote the sheets (the desktop shows the changed workbook).
  std::function<void()> afterSet;

  QComboBox* CbxC() const { return cbxC_; }
  QComboBox* CbxF() const { return cbxF_; }
  QComboBox* CbxDim() const { return cbxDim_; }
  QPushButton* BtnSet() const { return btnSet_; }
  QLabel* Status() const { return status_; }

 private:
  TSetStFnDlg& dialog_;
  QComboBox* cbxC_ = nullptr;
  QComboBox* cbxF_ = nullptr;
  QComboBox* cbxDim_ = nullptr;
  QPushButton* btnSet_ = nullptr;
  QLabel* status_ = nullptr;
  bool refreshing_ = false;
};

}  // namespace ploxen
