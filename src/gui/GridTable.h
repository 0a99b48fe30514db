// A result grid of the desktop: a QTableView over one StringGrid whose selection, keys and
// copy go through the table operator, the same in every result window.
#pragma once

#include <QTableView>

#include <functional>

#include "support/TablOprt.h"

namespace ploxen {

class StringGridModel;

/// Shows a StringGrid (its fixed row and column as headers) and keeps the grid's current cell
/// and selected range in step with the view's, in grid coordinates.
class GridTable : public QTableView {
  Q_OBJECT

 public:
  /// `model`: the item model to show; null makes a plain StringGridModel over `grid`.
  GridTable(StringGrid& grid, TTablOprtWnd& table, QWidget* parent = nullptr,
            StringGridModel* model = nullptr);

  /// The grid changed outside the view: contents, sizes and selection are shown afresh.
  void Reload();
  /// Selects every cell and the headers with it (grid rows and columns from 0).
  void SelectAllCells();
  /// Copies the selected range through the table operator and puts it on the clipboard.
  void CopySelection();
  StringGrid& Grid() { return grid_; }
  StringGridModel* ItemModel() const { return model_; }
  /// Selects the cell (`col`, `row`) of the grid as a mouse press would.
  void SelectCell(int col, int row);

  /// Keys the window handles itself, before the common grid keys; true when used.
  std::function<bool(int key, ShiftState shift)> windowKeys;
  /// A cell was selected (grid column and row).
  std::function<void(int col, int row)> onCellSelected;

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void SelectionToGrid();
  void ApplySizes();

  StringGrid& grid_;
  TTablOprtWnd& table_;
  StringGridModel* model_ = nullptr;
  bool reloading_ = false;
};

/// Puts the table operator's clipboard text on the system clipboard: as HTML (its source as
/// the plain text beside it) when the copy format is HTML, else as plain text.
void PutOnClipboard(const TTablOprtWnd& table);

/// The table operator's key code and modifiers of a Qt key event; key 0 when it has none.
int GridKeyCode(const QKeyEvent& event, ShiftState& shift);

}  // namespace ploxen
