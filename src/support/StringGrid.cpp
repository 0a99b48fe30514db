// String grid model: resizing and cell access.
#include "support/StringGrid.h"

#include <algorithm>

namespace ploxen {
namespace {
const std::string kEmpty;
}

StringGrid::StringGrid(int colCount, int rowCount) {
  Resize(colCount, rowCount);
}

void StringGrid::SetColCount(int count) {
  colCount_ = std::max(count, 0);
  for (auto& r : rows_) r.resize(colCount_);
}

void StringGrid::SetRowCount(int count) {
  rows_.resize(std::max(count, 0), std::vector<std::string>(colCount_));
}

void StringGrid::Resize(int colCount, int rowCount) {
  SetColCount(colCount);
  SetRowCount(rowCount);
}

const std::string& StringGrid::Cell(int c, int r) const {
  return Contains(c, r) ? rows_[r][c] : kEmpty;
}

void StringGrid::SetCell(int c, int r, const std::string& text) {
  if (Contains(c, r)) rows_[r][c] = text;
}

}  // namespace ploxen
