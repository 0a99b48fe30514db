// The "System Matrix" window over TLSolverWnd: the matrix, right-hand sides and Lagrange
// coefficients in one grid, with "Select All" and "Copy" on its popup.
#pragma once

#include <QDialog>

class QMenu;

namespace ploxen {

class GridTable;
class TLSolverWnd;
class TTablOprtWnd;

/// Shows `SGLge` and the caption of the system matrix model.
class TLSolverWndView : public QDialog {
  Q_OBJECT

 public:
  TLSolverWndView(TLSolverWnd& matrix, TTablOprtWnd& table, QWidget* parent = nullptr);

  /// Shows the model's caption and grid afresh.
  void Refresh();
  GridTable* SGLge() const { return grid_; }
  QMenu* Popup() const { return popup_; }

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  TLSolverWnd& matrix_;
  GridTable* grid_ = nullptr;
  QMenu* popup_ = nullptr;
};

}  // namespace ploxen
