// The element balance table's grid interaction: the highlighted column pair, the popup's
// sorts, copy and export, keys and the status panel layout.
#include "balance/ElBalance.h"

#include "process/ExportBook.h"

namespace ploxen {

namespace {

constexpr int kKeyEscape = 27;
constexpr int kKeyF = 'F';

}  // namespace

void TElBalanceDlg::SelectCell(int tag, int col, int row) {
  if (!ValidTag(tag)) return;
  StringGrid& g = grids_[tag];
  g.col = col;
  g.row = row;
  g.selection = {col, row, col, row};
  // The "in" column and its "out" counterpart four columns to the right belong together.
  int left = 1, right = 5;
  if (col >= 1 && col <= 4) {
    left = col;
    right = col + 4;
  } else if (col > 4) {
    left = col - 4;
    right = col;
  }
  if (left != highlightLeft_ || right != highlightRight_) {
    highlightLeft_ = left;
    highlightRight_ = right;
    ++repaints_;
  }
  if (col < 0 || col >= kColumns) return;
  for (int k = 1; k <= kSlotCount; ++k) {
    if (k != tag) widths_[k][col] = widths_[tag][col];
  }
}

bool TElBalanceDlg::IsHighlighted(int tag, int col, int row) const {
  if (!ValidTag(tag) || row == 0 || col == 0 || row == grids_[tag].row) return false;
  return col == highlightLeft_ || col == highlightRight_;
}

void TElBalanceDlg::PopupOpen(int tag) {
  if (!ValidTag(tag)) return;
  popupTag_ = tag;
  const StringGrid& g = grids_[tag];
  const std::string& header = g.Cell(g.col, 0);
  PopSortDownCaption = "Sort downwards :" + header;
  PopSortUpCaption = "Sort upwards :" + header;
}

// Sorts the rows above the last one: the grid is one row shorter while it is sorted, so the
// "Sum" row stays where it is.
void TElBalanceDlg::SortKeepingSum(StringGrid& grid, const std::function<void(StringGrid&)>& sort) {
  const int rows = grid.RowCount();
  if (rows < 3) return;
  const std::vector<std::string> last = grid.Row(rows - 1);
  grid.SetRowCount(rows - 1);
  sort(grid);
  grid.SetRowCount(rows);
  grid.Row(rows - 1) = last;
}

void TElBalanceDlg::PopSortByName() {
  SortKeepingSum(grids_[popupTag_], [this](StringGrid& g) { table_.SortRowsAsText(g, 0); });
}

void TElBalanceDlg::SortVisibleByValue(bool up) {
  const int column = grids_[popupTag_].col;
  for (int k = 1; k <= kSlotCount; ++k) {
    if (!GridVisible(k)) continue;
    SortKeepingSum(grids_[k], [this, column, up](StringGrid& g) {
      if (up) {
        table_.SortRowsByValueUp(g, column);
      } else {
        table_.SortRowsByValueDown(g, column);
      }
    });
  }
}

void TElBalanceDlg::PopSortDown() {
  SortVisibleByValue(false);
}

void TElBalanceDlg::PopSortUp() {
  SortVisibleByValue(true);
}

void TElBalanceDlg::PopCopy() {
  const StringGrid& g = grids_[popupTag_];
  table_.CopyRange(g, g.selection.left, g.selection.top, g.selection.right, g.selection.bottom);
}

int TElBalanceDlg::PopToExcel() {
  int visible = 0;
  for (int k = 1; k <= kSlotCount; ++k) visible += GridVisible(k) ? 1 : 0;
  if (exportBook_.OpenExportBook(visible) < 0) return -1;
  int sheet = 0;
  for (int k = 1; k <= kSlotCount; ++k) {
    if (!GridVisible(k)) continue;
    if (exportBook_.ExportGrid(grids_[k], ++sheet, TabCaption(k)) < 1) return -1;
  }
  return 1;
}

bool TElBalanceDlg::KeyDown(int tag, int key, ShiftState shift) {
  if (key == kKeyEscape) {
    Close();
    return true;
  }
  if (key == kKeyF && shift.ctrl) {
    if (onFontDialog) onFontDialog();
    return true;
  }
  return ValidTag(tag) && table_.GridKeys(grids_[tag], key, shift);
}

void TElBalanceDlg::Resize(int width) {
  if (width < kWideLayout) return;
  statusPanelWidths.fill(width / 4);
}

}  // namespace ploxen
