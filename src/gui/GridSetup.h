// Shared setup of the grid windows' QTableViews over a StringGridModel: header sizes, the
// selection between grid and view (the keys: GridKeyCode of gui/GridTable.h).
#pragma once

#include <Qt>

#include "support/StringGrid.h"
#include "support/TablOprt.h"

class QTableView;

namespace ploxen {

class StringGridModel;

/// Rectangular cell selection, editing on double click or typing, the grid's row height and
/// name-column width.
void SetUpGridView(QTableView* view, const StringGrid& grid);
/// Row height and width of the header column from the grid.
void ApplyGridMetrics(QTableView* view, const StringGrid& grid);
/// Shows the grid's selection rectangle in the view (fixed rows and columns are headers).
void ShowGridSelection(QTableView* view, const StringGridModel& model, const StringGrid& grid);
/// Bounding rectangle of the view's selection in grid cells; false when nothing is selected.
bool ViewSelection(const QTableView* view, const StringGridModel& model, GridRect& rect);

}  // namespace ploxen
