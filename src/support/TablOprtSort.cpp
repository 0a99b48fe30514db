// Table operator: row sorts by text and by value, and the number reading of grid cells.
#include "support/TablOprt.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <utility>

#include "support/TextCodec.h"

namespace ploxen {

double TTablOprtWnd::CellValue(std::string_view raw) {
  std::string text = TrimText(raw);
  size_t comma = text.find(',');
  if (comma != std::string::npos) text[comma] = '.';
  size_t dot = text.find('.');
  if (dot != std::string::npos && dot + 1 == text.size()) text += '0';  // "12." reads as 12
  text.erase(std::remove(text.begin(), text.end(), ' '), text.end());
  std::string_view digits = text;
  if (!digits.empty() && digits.front() == '+') digits.remove_prefix(1);
  if (digits.empty() || digits.front() == '+') return 0.0;
  double value = 0.0;
  auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value,
                                   std::chars_format::general);
  if (ec != std::errc() || end != digits.data() + digits.size() || !std::isfinite(value)) {
    return 0.0;
  }
  return value;
}

void TTablOprtWnd::SortRowsAsText(StringGrid& grid, int column) {
  const int rows = grid.RowCount();
  if (rows <= 2 || column < 0 || column >= grid.ColCount()) return;
  // Key = text + tab + ":" + row number in hexadecimal, so rows of equal text keep their order.
  int digits = 4;
  for (int n = rows - 1; n > 0xFFFF; n >>= 4) ++digits;
  std::vector<std::pair<std::string, int>> keys;
  keys.reserve(rows - 1);
  for (int r = 1; r < rows; ++r) {
    char hex[16];
    auto res = std::to_chars(hex, hex + sizeof hex, r, 16);
    std::string number(hex, res.ptr);
    std::transform(number.begin(), number.end(), number.begin(),
                   [](char c) { return (c >= 'a' && c <= 'f') ? static_cast<char>(c - 32) : c; });
    number.insert(0, digits - number.size(), '0');
    keys.emplace_back(grid.Cell(column, r) + "\t:" + number, r);
  }
  std::sort(keys.begin(), keys.end(),
            [](const auto& a, const auto& b) { return LessNoCase(a.first, b.first); });
  std::vector<std::vector<std::string>> sorted;
  sorted.reserve(keys.size());
  for (const auto& key : keys) sorted.push_back(grid.Row(key.second));
  for (int r = 1; r < rows; ++r) grid.Row(r) = std::move(sorted[r - 1]);
}

void TTablOprtWnd::SortRowsByValue(StringGrid& grid, int column, bool up) {
  const int rows = grid.RowCount();
  if (column < 0 || column >= grid.ColCount()) return;
  std::vector<double> values(rows, 0.0);
  for (int r = 1; r < rows; ++r) values[r] = CellValue(grid.Cell(column, r));
  // Selection sort: the first row holding the extreme value moves to p, the row at p to its place.
  for (int p = 1; p < rows - 1; ++p) {
    int best = p;
    for (int r = p + 1; r < rows; ++r) {
      if (up ? values[r] < values[best] : values[r] > values[best]) best = r;
    }
    if (best != p) {
      std::swap(values[p], values[best]);
      std::swap(grid.Row(p), grid.Row(best));
    }
  }
}

void TTablOprtWnd::SortRowsByValueUp(StringGrid& grid, int column) {
  SortRowsByValue(grid, column, true);
}

void TTablOprtWnd::SortRowsByValueDown(StringGrid& grid, int column) {
  SortRowsByValue(grid, column, false);
}

}  // namespace ploxen
