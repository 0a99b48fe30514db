// The item model over a StringGrid.
#include "gui/StringGridModel.h"

namespace ploxen {

StringGridModel::StringGridModel(StringGrid& grid, QObject* parent)
    : QAbstractTableModel(parent), grid_(grid) {}

int StringGridModel::rowCount(const QModelIndex& parent) const {
  if (parent.isValid()) return 0;
  return std::max(0, grid_.RowCount() - grid_.fixedRows);
}

int StringGridModel::columnCount(const QModelIndex& parent) const {
  if (parent.isValid()) return 0;
  return std::max(0, grid_.ColCount() - grid_.fixedCols);
}

QVariant StringGridModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole)) return QVariant();
  return QString::fromStdString(grid_.Cell(GridColumn(index), GridRow(index)));
}

bool StringGridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (!editable_ || !index.isValid() || role != Qt::EditRole) return false;
  grid_.SetCell(GridColumn(index), GridRow(index), value.toString().toStdString());
  Q_EMIT dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole});
  return true;
}

QVariant StringGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole) return QVariant();
  // Header texts come from the grid's first fixed row and column; without them, numbers.
  if (orientation == Qt::Horizontal) {
    if (grid_.fixedRows < 1) return section + 1;
    return QString::fromStdString(grid_.Cell(section + grid_.fixedCols, 0));
  }
  if (grid_.fixedCols < 1) return section + 1;
  return QString::fromStdString(grid_.Cell(0, section + grid_.fixedRows));
}

Qt::ItemFlags StringGridModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  Qt::ItemFlags f = Qt::ItemIsSelectable | Qt::ItemIsEnabled;
  if (editable_) f |= Qt::ItemIsEditable;
  return f;
}

void StringGridModel::Reload() {
  beginResetModel();
  endResetModel();
}

}  // namespace ploxen
