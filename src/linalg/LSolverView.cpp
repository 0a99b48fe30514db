// The system matrix window.
#include "linalg/LSolverView.h"

#include <QAction>
#include <QHeaderView>
#include <QMenu>
#include <QVBoxLayout>

#include "gui/GridTable.h"
#include "gui/Icons.h"
#include "linalg/LSolver.h"

namespace ploxen {

TLSolverWndView::TLSolverWndView(TLSolverWnd& matrix, TTablOprtWnd& table, QWidget* parent)
    : QDialog(parent), matrix_(matrix) {
  setWindowIcon(AppIcon());
  setSizeGripEnabled(true);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(2, 2, 2, 2);
  grid_ = new GridTable(matrix_.SGLge, table, this);
  grid_->setObjectName("SGLge");
  grid_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  layout->addWidget(grid_);
  popup_ = new QMenu(this);
  QAction* all = popup_->addAction("Select All", this, [this] {
    grid_->SelectAllCells();
    matrix_.SelectAll();
  });
  all->setObjectName("PopSelectAll");
  QAction* copy = popup_->addAction("Copy", this, [this] { grid_->CopySelection(); });
  copy->setObjectName("PopCopy");
  grid_->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(grid_, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& at) { popup_->popup(grid_->viewport()->mapToGlobal(at)); });
  resize(560, 260);
  Refresh();
}

void TLSolverWndView::Refresh() {
  setWindowTitle(QString::fromStdString(matrix_.Caption));
  grid_->Reload();
}

void TLSolverWndView::showEvent(QShowEvent* event) {
  matrix_.active = true;
  Refresh();
  QDialog::showEvent(event);
}

void TLSolverWndView::hideEvent(QHideEvent* event) {
  matrix_.active = false;
  QDialog::hideEvent(event);
}

}  // namespace ploxen
