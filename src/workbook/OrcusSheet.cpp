// Cells, formulas and sheet properties of one sheet of an orcus import.
#include "workbook/OrcusSheet.h"

#include <algorithm>
#include <cmath>

#include "workbook/A1Shift.h"
#include "workbook/CellAddress.h"
#include "workbook/OrcusFactory.h"

namespace ploxen {

namespace ss = orcus::spreadsheet;

namespace {

/// Days from 1899-12-30 (the spreadsheet day 0) to the civil date.
double SerialDay(int year, int month, int day) {
  // Days from civil, after H. Hinnant's algorithm.
  year -= month <= 2;
  const int era = (year >= 0 ? year : year - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(year - era * 400);
  const unsigned doy = (153 * static_cast<unsigned>(month + (month > 2 ? -3 : 9)) + 2) / 5 +
                       static_cast<unsigned>(day) - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  const long days = static_cast<long>(era) * 146097 + static_cast<long>(doe) - 719468;
  return static_cast<double>(days + 25569);  // 1970-01-01 is day 25569
}

double PointsOf(double value, orcus::length_unit_t unit) {
  switch (unit) {
    case orcus::length_unit_t::inch:
      return value * 72.0;
    case orcus::length_unit_t::centimeter:
      return value * 72.0 / 2.54;
    case orcus::length_unit_t::millimeter:
      return value * 72.0 / 25.4;
    case orcus::length_unit_t::twip:
      return value / 20.0;
    case orcus::length_unit_t::pixel:
      return value * 0.75;
    default:
      return value;
  }
}

}  // namespace

void OrcusFormula::set_position(ss::row_t row, ss::col_t col) {
  row_ = row;
  column_ = col;
}

void OrcusFormula::set_formula(ss::formula_grammar_t, std::string_view formula) {
  text_ = formula;
  hasText_ = true;
}

void OrcusFormula::set_result_string(std::string_view value) {
  cached_ = ImportedCell::Cached::kString;
  string_ = value;
}

void OrcusFormula::set_result_value(double value) {
  cached_ = ImportedCell::Cached::kNumber;
  number_ = value;
}

void OrcusFormula::set_result_bool(bool value) {
  cached_ = ImportedCell::Cached::kBool;
  number_ = value ? 1.0 : 0.0;
}

void OrcusFormula::commit() {
  if (hasText_ || shared_ >= 0) {
    sheet_.AddFormula(row_, column_, hasText_ ? std::move(text_) : std::string(), shared_, cached_,
                      number_, std::move(string_));
  }
  text_.clear();
  hasText_ = false;
  shared_ = -1;
  cached_ = ImportedCell::Cached::kNone;
  number_ = 0.0;
  string_.clear();
}

void OrcusSheetProperties::set_column_width(ss::col_t col, double width,
                                            orcus::length_unit_t unit) {
  if (col < 0 || col >= kMaxColumns) return;
  double chars = width;
  if (unit != orcus::length_unit_t::xlsx_column_digit) {
    // Width of n characters of the default font is 7n + 5 pixels at 96 dpi.
    double px = PointsOf(width, unit) * 96.0 / 72.0;
    chars = std::max(0.0, (px - 5.0) / 7.0);
  }
  sheet_.columnWidths[col] = chars;
}

void OrcusSheetProperties::set_row_height(ss::row_t row, double height, orcus::length_unit_t unit) {
  if (row < 0 || row >= kMaxRows) return;
  sheet_.rowHeights[row] = PointsOf(height, unit);
}

void OrcusSheetProperties::set_merge_cell_range(const ss::range_t& range) {
  sheet_.merges.push_back({range.first.row, range.first.column, range.last.row, range.last.column});
}

OrcusSheet::OrcusSheet(OrcusFactory& factory, const OrcusStrings& strings, std::string name)
    : factory_(factory), strings_(strings) {
  data_.name = std::move(name);
}

ImportedCell& OrcusSheet::At(int row, int column) {
  auto [it, added] = index_.try_emplace(CellKey(row, column), data_.cells.size());
  if (added) {
    factory_.CountCell();
    ImportedCell& cell = data_.cells.emplace_back();
    cell.row = row;
    cell.column = column;
    return cell;
  }
  return data_.cells[it->second];
}

void OrcusSheet::set_auto(ss::row_t row, ss::col_t col, std::string_view s) {
  ImportedCell& cell = At(row, col);
  cell.kind = ImportedCell::Kind::kString;
  cell.text = s;
}

void OrcusSheet::set_string(ss::row_t row, ss::col_t col, ss::string_id_t sindex) {
  ImportedCell& cell = At(row, col);
  cell.kind = ImportedCell::Kind::kString;
  cell.text = strings_.At(sindex);
}

void OrcusSheet::set_value(ss::row_t row, ss::col_t col, double value) {
  ImportedCell& cell = At(row, col);
  cell.kind = ImportedCell::Kind::kNumber;
  cell.number = value;
}

void OrcusSheet::set_bool(ss::row_t row, ss::col_t col, bool value) {
  ImportedCell& cell = At(row, col);
  cell.kind = ImportedCell::Kind::kBool;
  cell.number = value ? 1.0 : 0.0;
}

void OrcusSheet::set_date_time(ss::row_t row, ss::col_t col, int year, int month, int day, int hour,
                               int minute, double second) {
  set_value(row, col,
            SerialDay(year, month, day) + (hour * 3600.0 + minute * 60.0 + second) / 86400.0);
}

void OrcusSheet::set_format(ss::row_t row, ss::col_t col, size_t xf_index) {
  At(row, col).style = static_cast<int>(xf_index);
}

void OrcusSheet::set_format(ss::row_t row_start, ss::col_t col_start, ss::row_t row_end,
                            ss::col_t col_end, size_t xf_index) {
  rangeFormats_.push_back({row_start, col_start, row_end, col_end, static_cast<int>(xf_index)});
}

void OrcusSheet::fill_down_cells(ss::row_t src_row, ss::col_t src_col, ss::row_t range_size) {
  auto it = index_.find(CellKey(src_row, src_col));
  if (it == index_.end()) return;
  const ImportedCell source = data_.cells[it->second];
  for (ss::row_t r = 1; r < range_size; ++r) {
    ImportedCell& cell = At(src_row + r, src_col);
    int row = cell.row;
    cell = source;
    cell.row = row;
  }
}

ss::range_size_t OrcusSheet::get_sheet_size() const {
  return {kMaxRows, kMaxColumns};
}

void OrcusSheet::AddFormula(int row, int column, std::string text, long shared,
                            ImportedCell::Cached cached, double number, std::string string) {
  ImportedCell& cell = At(row, column);
  cell.kind = ImportedCell::Kind::kFormula;
  cell.cached = cached;
  cell.number = number;
  cell.text = std::move(string);
  if (!text.empty() && text.front() == '=') text.erase(0, 1);
  if (shared >= 0 && !text.empty())
    masters_[shared] = {row, column, text};
  else if (shared >= 0)
    followers_.push_back({index_[CellKey(row, column)], shared});
  cell.formula = std::move(text);
}

void OrcusSheet::Finish(ImportedSheet& out) {
  for (const Follower& f : followers_) {
    ImportedCell& cell = data_.cells[f.cell];
    auto m = masters_.find(f.shared);
    if (m == masters_.end()) continue;
    cell.formula = ShiftRelativeReferences(m->second.text, cell.row - m->second.row,
                                           cell.column - m->second.column);
  }
  // Formats given for ranges (column defaults) reach the cells that have none of their own.
  for (const RangeFormat& rf : rangeFormats_) {
    if (rf.style == 0) continue;
    long long area = static_cast<long long>(rf.r1 - rf.r0 + 1) * (rf.c1 - rf.c0 + 1);
    if (area <= 4096) {
      for (int r = rf.r0; r <= rf.r1; ++r)
        for (int c = rf.c0; c <= rf.c1; ++c) {
          ImportedCell& cell = At(r, c);
          if (cell.style == 0) cell.style = rf.style;
        }
    } else {
      for (ImportedCell& cell : data_.cells)
        if (cell.style == 0 && cell.row >= rf.r0 && cell.row <= rf.r1 && cell.column >= rf.c0 &&
            cell.column <= rf.c1)
          cell.style = rf.style;
    }
  }
  out = std::move(data_);
}

}  // namespace ploxen
