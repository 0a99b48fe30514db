// Shared setup of the grid windows' QTableViews.
#include "gui/GridSetup.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QTableView>

#include <algorithm>

#include "gui/StringGridModel.h"

namespace ploxen {

void SetUpGridView(QTableView* view, const StringGrid& grid) {
  view->setSelectionMode(QAbstractItemView::ContiguousSelection);
  view->setSelectionBehavior(QAbstractItemView::SelectItems);
  view->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                        QAbstractItemView::AnyKeyPressed);
  view->setContextMenuPolicy(Qt::CustomContextMenu);
  view->setWordWrap(false);
  view->horizontalHeader()->setHighlightSections(true);
  view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  ApplyGridMetrics(view, grid);
}

void ApplyGridMetrics(QTableView* view, const StringGrid& grid) {
  view->verticalHeader()->setDefaultSectionSize(grid.defaultRowHeight);
  view->verticalHeader()->setMinimumSectionSize(std::min(grid.defaultRowHeight, 9));
  view->verticalHeader()->setFixedWidth(grid.fixedCols > 0 ? grid.col0Width : 32);
}

void ShowGridSelection(QTableView* view, const StringGridModel& model, const StringGrid& grid) {
  QItemSelectionModel* selection = view->selectionModel();
  if (!selection) return;
  const int left = std::max(grid.selection.left - grid.fixedCols, 0);
  const int top = std::max(grid.selection.top - grid.fixedRows, 0);
  const int right = std::min(grid.selection.right - grid.fixedCols, model.columnCount() - 1);
  const int bottom = std::min(grid.selection.bottom - grid.fixedRows, model.rowCount() - 1);
  if (left > right || top > bottom) {
    selection->clearSelection();
    return;
  }
  const QItemSelection range(model.index(top, left), model.index(bottom, right));
  selection->select(range, QItemSelectionModel::ClearAndSelect);
}

bool ViewSelection(const QTableView* view, const StringGridModel& model, GridRect& rect) {
  const QItemSelectionModel* selection = view->selectionModel();
  if (!selection || !selection->hasSelection()) return false;
  bool first = true;
  for (const QItemSelectionRange& r : selection->selection()) {
    const int left = model.GridColumn(r.topLeft()), top = model.GridRow(r.topLeft());
    const int right = model.GridColumn(r.bottomRight()), bottom = model.GridRow(r.bottomRight());
    if (first) {
      rect = {left, top, right, bottom};
      first = false;
    } else {
      rect = {std::min(rect.left, left), std::min(rect.top, top), std::max(rect.right, right),
              std::max(rect.bottom, bottom)};
    }
  }
  return !first;
}

}  // namespace ploxen
