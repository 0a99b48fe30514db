// One sheet of the orcus import: receives cells, formulas, formats and sheet properties.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <unordered_map>
#include <vector>

#include <orcus/spreadsheet/import_interface.hpp>

#include "workbook/ImportedBook.h"

namespace ploxen {

class OrcusFactory;
class OrcusStrings;
class OrcusSheet;

/// Receives the formula cells of one sheet, including shared formulas.
class OrcusFormula : public orcus::spreadsheet::iface::import_formula {
 public:
  explicit OrcusFormula(OrcusSheet& sheet) : sheet_(sheet) {}
  void set_position(orcus::spreadsheet::row_t row, orcus::spreadsheet::col_t col) override;
  void set_formula(orcus::spreadsheet::formula_grammar_t grammar,
                   std::string_view formula) override;
  void set_shared_formula_index(size_t index) override { shared_ = static_cast<long>(index); }
  void set_result_string(std::string_view value) override;
  void set_result_value(double value) override;
  void set_result_bool(bool value) override;
  void set_result_empty() override {}
  void commit() override;

 private:
  OrcusSheet& sheet_;
  int row_ = 0, column_ = 0;
  std::string text_;
  bool hasText_ = false;
  long shared_ = -1;
  ImportedCell::Cached cached_ = ImportedCell::Cached::kNone;
  double number_ = 0.0;
  std::string string_;
};

/// Receives column widths, row heights and merged ranges of one sheet.
class OrcusSheetProperties : public orcus::spreadsheet::iface::import_sheet_properties {
 public:
  explicit OrcusSheetProperties(ImportedSheet& sheet) : sheet_(sheet) {}
  void set_column_width(orcus::spreadsheet::col_t col, double width,
                        orcus::length_unit_t unit) override;
  void set_column_hidden(orcus::spreadsheet::col_t, bool) override {}
  void set_row_height(orcus::spreadsheet::row_t row, double height,
                      orcus::length_unit_t unit) override;
  void set_row_hidden(orcus::spreadsheet::row_t, bool) override {}
  void set_merge_cell_range(const orcus::spreadsheet::range_t& range) override;

 private:
  ImportedSheet& sheet_;
};

/// One sheet of the import.
class OrcusSheet : public orcus::spreadsheet::iface::import_sheet {
 public:
  OrcusSheet(OrcusFactory& factory, const OrcusStrings& strings, std::string name);

  orcus::spreadsheet::iface::import_sheet_properties* get_sheet_properties() override {
    return &properties_;
  }
  orcus::spreadsheet::iface::import_formula* get_formula() override { return &formula_; }
  void set_auto(orcus::spreadsheet::row_t row, orcus::spreadsheet::col_t col,
                std::string_view s) override;
  void set_string(orcus::spreadsheet::row_t row, orcus::spreadsheet::col_t col,
                  orcus::spreadsheet::string_id_t sindex) override;
  void set_value(orcus::spreadsheet::row_t row, orcus::spreadsheet::col_t col,
                 double value) override;
  void set_bool(orcus::spreadsheet::row_t row, orcus::spreadsheet::col_t col, bool value) override;
  void set_date_time(orcus::spreadsheet::row_t row, orcus::spreadsheet::col_t col, int year,
                     int month, int day, int hour, int minute, double second) override;
  void set_format(orcus::spreadsheet::row_t row, orcus::spreadsheet::col_t col,
                  size_t xf_index) override;
  void set_format(orcus::spreadsheet::row_t row_start, orcus::spreadsheet::col_t col_start,
                  orcus::spreadsheet::row_t row_end, orcus::spreadsheet::col_t col_end,
                  size_t xf_index) override;
  void fill_down_cells(orcus::spreadsheet::row_t src_row, orcus::spreadsheet::col_t src_col,
                       orcus::spreadsheet::row_t range_size) override;
  orcus::spreadsheet::range_size_t get_sheet_size() const override;

  /// The cell at (row, column), created empty when missing.
  ImportedCell& At(int row, int column);
  /// Stores a formula cell; `shared` >= 0 names a shared formula (text empty for followers).
  void AddFormula(int row, int column, std::string text, long shared, ImportedCell::Cached cached,
                  double number, std::string string);
  /// Completes shared formulas and range formats; moves the result into `out`.
  void Finish(ImportedSheet& out);

  ImportedSheet& Data() { return data_; }

 private:
  struct RangeFormat {
    int r0, c0, r1, c1;
    int style;
  };
  struct Follower {
    std::size_t cell;
    long shared;
  };
  struct Master {
    int row, column;
    std::string text;
  };

  OrcusFactory& factory_;
  const OrcusStrings& strings_;
  ImportedSheet data_;
  std::unordered_map<std::uint64_t, std::size_t> index_;
  std::vector<RangeFormat> rangeFormats_;
  std::map<long, Master> masters_;
  std::vector<Follower> followers_;
  OrcusFormula formula_{*this};
  OrcusSheetProperties properties_{data_};
};

}  // namespace ploxen
