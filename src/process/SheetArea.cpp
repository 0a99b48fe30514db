#include "process/SheetArea.h"

#include "process/ProcessWorkbook.h"

namespace ploxen {

SheetArea::SheetArea(ProcessWorkbook& book, int sheet, int top, int left, int rows, int columns)
    : book_(book), sheet_(sheet), top_(top), left_(left), rows_(rows), columns_(columns) {
  loaded_ = rows > 0 && columns > 0 && book_.ReadBlock(sheet, top, left, rows, columns, cells_) &&
            cells_.size() == static_cast<std::size_t>(rows) * static_cast<std::size_t>(columns);
}

bool SheetArea::Inside(int row, int column) const {
  return loaded_ && row >= top_ && row < top_ + rows_ && column >= left_ &&
         column < left_ + columns_;
}

const std::string& SheetArea::At(int row, int column) const {
  return cells_[static_cast<std::size_t>((row - top_) * columns_ + column - left_)];
}

std::string SheetArea::ReadCell(int row, int column) {
  return Inside(row, column) ? At(row, column) : book_.ReadCell(sheet_, row, column);
}

int SheetArea::Line(int row, int column, int dRow, int dColumn, int count,
                    std::vector<std::string>& list) {
  list.clear();
  for (int i = 0; i < count; ++i) {
    list.push_back(At(row + i * dRow, column + i * dColumn));
    if (list.back() == "EOT") break;
  }
  return static_cast<int>(list.size());
}

int SheetArea::ReadRow(int row, std::vector<std::string>& list, int lastColumn, int firstColumn) {
  if (firstColumn <= 0) firstColumn = 1;
  if (lastColumn <= 0 || lastColumn < firstColumn || !Inside(row, firstColumn) ||
      !Inside(row, lastColumn))
    return book_.ReadRow(sheet_, row, list, lastColumn, firstColumn);
  return Line(row, firstColumn, 0, 1, lastColumn - firstColumn + 1, list);
}

int SheetArea::ReadColumn(int column, std::vector<std::string>& list, int lastRow, int firstRow) {
  if (firstRow <= 0) firstRow = 1;
  if (lastRow <= 0 || lastRow < firstRow || !Inside(firstRow, column) || !Inside(lastRow, column))
    return book_.ReadColumn(sheet_, column, list, lastRow, firstRow);
  return Line(firstRow, column, 1, 0, lastRow - firstRow + 1, list);
}

}  // namespace ploxen
