// The result grid of the desktop windows.
#include "gui/GridTable.h"

#include <QHeaderView>
#include <QKeyEvent>

#include <algorithm>

#include "gui/GridClipboard.h"
#include "gui/StringGridModel.h"

namespace ploxen {

GridTable::GridTable(StringGrid& grid, TTablOprtWnd& table, QWidget* parent, StringGridModel* model)
    : QTableView(parent), grid_(grid), table_(table), model_(model) {
  if (!model_) model_ = new StringGridModel(grid_, this);
  model_->setParent(this);
  setModel(model_);
  setSelectionMode(QAbstractItemView::ContiguousSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setWordWrap(false);
  connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
          [this] { SelectionToGrid(); });
  connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
          [this] { SelectionToGrid(); });
  // A press on the name column (the vertical header) selects the row's column 0.
  connect(verticalHeader(), &QHeaderView::sectionPressed, this, [this](int section) {
    if (reloading_) return;
    const int row = section + grid_.fixedRows;
    grid_.col = 0;
    grid_.row = row;
    grid_.selection = {0, row, std::max(0, grid_.ColCount() - 1), row};
    if (onCellSelected) onCellSelected(0, row);
  });
  ApplySizes();
}

void GridTable::Reload() {
  reloading_ = true;
  model_->Reload();
  ApplySizes();
  const int col = grid_.col - grid_.fixedCols;
  const int row = grid_.row - grid_.fixedRows;
  if (col >= 0 && row >= 0 && col < model_->columnCount() && row < model_->rowCount()) {
    setCurrentIndex(model_->index(row, col));
  }
  reloading_ = false;
}

void GridTable::ApplySizes() {
  verticalHeader()->setDefaultSectionSize(grid_.defaultRowHeight);
  verticalHeader()->setMinimumWidth(grid_.fixedCols > 0 ? grid_.col0Width : 0);
  verticalHeader()->setVisible(grid_.fixedCols > 0);
  horizontalHeader()->setVisible(grid_.fixedRows > 0);
}

void GridTable::SelectCell(int col, int row) {
  const int c = col - grid_.fixedCols;
  const int r = row - grid_.fixedRows;
  if (c < 0 || r < 0 || c >= model_->columnCount() || r >= model_->rowCount()) return;
  setCurrentIndex(model_->index(r, c));
}

void GridTable::SelectAllCells() {
  selectAll();
  grid_.selection = {0, 0, std::max(0, grid_.ColCount() - 1), std::max(0, grid_.RowCount() - 1)};
}

void GridTable::SelectionToGrid() {
  if (reloading_) return;
  const QModelIndexList selected = selectionModel()->selectedIndexes();
  const QModelIndex current = currentIndex();
  if (current.isValid()) {
    grid_.col = model_->GridColumn(current);
    grid_.row = model_->GridRow(current);
  }
  if (!selected.isEmpty()) {
    GridRect r{grid_.ColCount(), grid_.RowCount(), -1, -1};
    for (const QModelIndex& i : selected) {
      r.left = std::min(r.left, model_->GridColumn(i));
      r.right = std::max(r.right, model_->GridColumn(i));
      r.top = std::min(r.top, model_->GridRow(i));
      r.bottom = std::max(r.bottom, model_->GridRow(i));
    }
    grid_.selection = r;
  } else if (current.isValid()) {
    grid_.selection = {grid_.col, grid_.row, grid_.col, grid_.row};
  }
  if (current.isValid() && onCellSelected) onCellSelected(grid_.col, grid_.row);
}

void GridTable::CopySelection() {
  const GridRect& s = grid_.selection;
  table_.CopyRange(grid_, s.left, s.top, s.right, s.bottom);
  PutOnClipboard(table_);
}

void GridTable::keyPressEvent(QKeyEvent* event) {
  ShiftState shift;
  const int key = GridKeyCode(*event, shift);
  if (key != 0 && windowKeys && windowKeys(key, shift)) {
    event->accept();
    return;
  }
  if (key != 0 && table_.GridKeys(grid_, key, shift)) {
    if (shift.ctrl && key == kKeyC) PutOnClipboard(table_);
    ApplySizes();
    event->accept();
    return;
  }
  QTableView::keyPressEvent(event);
}

void PutOnClipboard(const TTablOprtWnd& table) {
  const std::string text = table.ClipboardText();
  PutOnClipboard(text, table.Format() == CopyFormat::kHtml ? text : std::string());
}

int GridKeyCode(const QKeyEvent& event, ShiftState& shift) {
  const Qt::KeyboardModifiers m = event.modifiers();
  shift.shift = m.testFlag(Qt::ShiftModifier);
  shift.ctrl = m.testFlag(Qt::ControlModifier);
  shift.alt = m.testFlag(Qt::AltModifier);
  const int key = event.key();
  switch (key) {
    case Qt::Key_Left:
      return kKeyLeft;
    case Qt::Key_Up:
      return kKeyUp;
    case Qt::Key_Right:
      return kKeyRight;
    case Qt::Key_Down:
      return kKeyDown;
    case Qt::Key_Escape:
      return 27;
    default:
      break;
  }
  // Letters and digits carry their upper-case character code, as the grid keys expect.
  if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9)) return key;
  return 0;
}

}  // namespace ploxen
