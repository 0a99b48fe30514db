// The "Elementar Balance" window over TElBalanceDlg: one grid per phase slot on three tab
// pages (gas, liquid, solid), the element box, "Update" and the status panels.
#pragma once

#include <QDialog>

#include <array>
#include <functional>

class QCheckBox;
class QComboBox;
class QHBoxLayout;
class QLabel;
class QMenu;
class QPushButton;
class QTabWidget;

namespace ploxen {

class GridTable;
class TElBalanceDlg;
class TTablOprtWnd;

/// Shows the element balance model and forwards the user's choices, clicks and keys.
class TElBalanceDlgView : public QDialog {
  Q_OBJECT

 public:
  TElBalanceDlgView(TElBalanceDlg& dialog, TTablOprtWnd& table, QWidget* parent = nullptr);

  /// Shows the model's caption, element box, tabs, grids and status panels afresh.
  void Refresh();
  /// Runs after "To Ms Excel" wrote the export workbook.
  std::function<void()> afterExport;

  QComboBox* CBE() const { return cbe_; }
  QPushButton* ButtonUpdate() const { return buttonUpdate_; }
  QCheckBox* CbxAllComp() const { return cbxAllComp_; }
  QPushButton* ButtonExit() const { return buttonExit_; }
  /// Grid of slot `tag` (1..8).
  GridTable* Grid(int tag) const { return grids_[tag]; }
  /// Tab page control of the gas (0), liquid (1) or solid (2) slots.
  QTabWidget* Pages(int kind) const { return pages_[kind]; }
  QLabel* StatusPanel(int k) const { return panels_[k]; }
  /// The popup as it opens on grid `tag` (its captions prepared by the model).
  QMenu* PreparePopup(int tag);

 protected:
  void hideEvent(QHideEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void BuildPopup();
  void CellSelected(int tag, int col);
  bool Keys(int tag, int key, bool ctrl, bool shift, bool alt);
  void ReloadGrids();

  TElBalanceDlg& dialog_;
  TTablOprtWnd& table_;
  QHBoxLayout* status_ = nullptr;
  QComboBox* cbe_ = nullptr;
  QPushButton* buttonUpdate_ = nullptr;
  QCheckBox* cbxAllComp_ = nullptr;
  QPushButton* buttonExit_ = nullptr;
  std::array<QTabWidget*, 3> pages_{};
  std::array<GridTable*, 9> grids_{};
  std::array<QLabel*, 5> panels_{};
  QMenu* popup_ = nullptr;
  QAction* sortDown_ = nullptr;
  QAction* sortUp_ = nullptr;
  int repaints_ = 0;
  bool refreshing_ = false;
};

}  // namespace ploxen
