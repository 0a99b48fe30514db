// The "Element Balance" window over TXelBalDlg: the element, the layout and "Create", which
// writes the balance workbook.
#pragma once

#include <QDialog>

#include <functional>

class QCheckBox;
class QComboBox;
class QPushButton;

namespace ploxen {

class TXelBalDlg;

/// Shows the element list and the "Compact" choice and forwards "Create" and "Elements".
class TXelBalDlgView : public QDialog {
  Q_OBJECT

 public:
  explicit TXelBalDlgView(TXelBalDlg& dialog, QWidget* parent = nullptr);

  /// Shows the model's caption, element list, selection and layout choice.
  void Refresh();
  /// Runs after "Create" wrote the balance workbook.
  std::function<void()> afterCreate;

  QComboBox* CBE() const { return cbe_; }
  QPushButton* BtnBalance() const { return btnBalance_; }
  QPushButton* BtnElements() const { return btnElements_; }
  QCheckBox* CbxCompact() const { return cbxCompact_; }

 private:
  TXelBalDlg& dialog_;
  QComboBox* cbe_ = nullptr;
  QPushButton* btnBalance_ = nullptr;
  QPushButton* btnElements_ = nullptr;
  QCheckBox* cbxCompact_ = nullptr;
  bool refreshing_ = false;
};

}  // namespace ploxen
