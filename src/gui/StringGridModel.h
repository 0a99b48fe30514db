// The one item model over a StringGrid that every grid view of the desktop uses.
#pragma once

#include <QAbstractTableModel>

#include "support/StringGrid.h"

namespace ploxen {

/// Shows a StringGrid in a QTableView: the fixed rows and columns become the header texts,
/// the other cells the items. Edits, when allowed, are written back into the grid.
class StringGridModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  explicit StringGridModel(StringGrid& grid, QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

  /// The grid changed in size or content outside the view: everything is shown afresh.
  void Reload();
  void SetEditable(bool on) { editable_ = on; }
  /// Grid column and row of an item.
  int GridColumn(const QModelIndex& index) const { return index.column() + grid_.fixedCols; }
  int GridRow(const QModelIndex& index) const { return index.row() + grid_.fixedRows; }

 private:
  StringGrid& grid_;
  bool editable_ = false;
};

}  // namespace ploxen
