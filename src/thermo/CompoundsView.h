// The "Compounds" dialog: the database list, the system list and the element filter over
// TCompoundsDlg.
#pragma once

#include <QDialog>

#include <array>
#include <functional>
#include <vector>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;

namespace ploxen {

class CompoundListModel;
class TCompoundsDlg;
class TEqlCalcWnd;

/// Shows both lists of TCompoundsDlg and forwards moves, sorts, filters, "OK" and "Cancel".
class TCompoundsDlgView : public QDialog {
  Q_OBJECT

 public:
  explicit TCompoundsDlgView(TCompoundsDlg& model, QWidget* parent = nullptr);
  ~TCompoundsDlgView() override;

  /// Everything from the model: lists, captions, filter items, status panels.
  void Refresh();
  /// Opens the dialog modally on the grid of phase slot `slot` (1..8) of the system window and,
  /// after "OK", writes the choice into that grid. 1 written, 0 cancelled or not opened.
  int ExecForSlot(TEqlCalcWnd& calc, int slot);
  /// Opens modally after the model was filled; true after "OK".
  bool ExecFilled();
  /// Opens the help index ("Help"); installed by the desktop.
  std::function<void()> onHelp;

  QTableView* Source() const { return lists_[0]; }
  QTableView* System() const { return lists_[1]; }
  QComboBox* CbxEl() const { return cbxEl_; }
  QPushButton* IncludeBtn() const { return include_; }
  QPushButton* ExcludeBtn() const { return exclude_; }
  QPushButton* ButtonOk() const { return ok_; }
  QLabel* StatusPanel(int k) const { return status_[k]; }

  void reject() override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QTableView* BuildList(int list, QGroupBox* group);
  QGroupBox* BuildGroup(int list, const char* caption, const char* name);
  QPushButton* BuildMoveButton(QGroupBox* group, const char* caption, const char* name,
                               const char* tip);
  std::vector<int> SelectedRows(int list) const;
  void RefreshLists();
  void RefreshStatus();
  void SelectedRowChanged(int list);

  TCompoundsDlg& model_;
  std::array<CompoundListModel*, 2> models_{};
  std::array<QTableView*, 2> lists_{};
  QGroupBox* gbxDatabase_ = nullptr;
  QGroupBox* gbxSystem_ = nullptr;
  QLineEdit* editName_ = nullptr;
  QComboBox* cbxEl_ = nullptr;
  QPushButton* include_ = nullptr;
  QPushButton* exclude_ = nullptr;
  QPushButton* ok_ = nullptr;
  std::array<QLabel*, 3> status_{};
  bool refreshing_ = false;  ///< the view writes the widgets: no echo to the model
};

}  // namespace ploxen
