// The import factory orcus fills while it parses a file: sheets, cells, strings, formulas,
// formats, column widths, row heights and merged ranges go into an ImportedBook.
#pragma once

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include <orcus/spreadsheet/import_interface.hpp>

#include "workbook/ImportedBook.h"
#include "workbook/OrcusStyles.h"

namespace ploxen {

class OrcusSheet;

/// Thrown inside the import when the file exceeds a limit; caught by the reader.
struct ImportTooLarge {};

/// The shared string table: rich text arrives in segments and is concatenated.
class OrcusStrings : public orcus::spreadsheet::iface::import_shared_strings {
 public:
  size_t append(std::string_view s) override;
  size_t add(std::string_view s) override;
  void set_segment_font(size_t) override {}
  void set_segment_bold(bool) override {}
  void set_segment_italic(bool) override {}
  void set_segment_font_name(std::string_view) override {}
  void set_segment_font_size(double) override {}
  void set_segment_font_color(orcus::spreadsheet::color_elem_t, orcus::spreadsheet::color_elem_t,
                              orcus::spreadsheet::color_elem_t,
                              orcus::spreadsheet::color_elem_t) override {}
  void append_segment(std::string_view s) override { segments_.append(s); }
  size_t commit_segments() override;

  const std::string& At(size_t index) const;

 private:
  std::vector<std::string> strings_;
  std::unordered_map<std::string, size_t> index_;
  std::string segments_;
};

/// Answers orcus' questions about the file's global settings.
class OrcusSettings : public orcus::spreadsheet::iface::import_global_settings {
 public:
  void set_origin_date(int, int, int) override {}
  void set_default_formula_grammar(orcus::spreadsheet::formula_grammar_t grammar) override {
    grammar_ = grammar;
  }
  orcus::spreadsheet::formula_grammar_t get_default_formula_grammar() const override {
    return grammar_;
  }
  void set_character_set(orcus::character_set_t) override {}

 private:
  orcus::spreadsheet::formula_grammar_t grammar_ = orcus::spreadsheet::formula_grammar_t::xlsx;
};

/// Resolves A1 addresses ("B2", "$C$5", "A1:B3") for orcus.
class OrcusResolver : public orcus::spreadsheet::iface::import_reference_resolver {
 public:
  orcus::spreadsheet::src_address_t resolve_address(std::string_view address) override;
  orcus::spreadsheet::src_range_t resolve_range(std::string_view range) override;
};

/// The factory itself. After the parse, `Finish` completes shared formulas and formats.
class OrcusFactory : public orcus::spreadsheet::iface::import_factory {
 public:
  OrcusFactory(ImportedBook& book, std::size_t maxCells);
  ~OrcusFactory() override;

  orcus::spreadsheet::iface::import_global_settings* get_global_settings() override {
    return &settings_;
  }
  orcus::spreadsheet::iface::import_shared_strings* get_shared_strings() override {
    return &strings_;
  }
  orcus::spreadsheet::iface::import_styles* get_styles() override { return &styles_; }
  orcus::spreadsheet::iface::import_reference_resolver* get_reference_resolver(
      orcus::spreadsheet::formula_ref_context_t) override {
    return &resolver_;
  }
  orcus::spreadsheet::iface::import_sheet* append_sheet(orcus::spreadsheet::sheet_t index,
                                                        std::string_view name) override;
  orcus::spreadsheet::iface::import_sheet* get_sheet(std::string_view name) override;
  orcus::spreadsheet::iface::import_sheet* get_sheet(orcus::spreadsheet::sheet_t index) override;
  void finalize() override {}

  /// Stores a text cell the parse skipped (an xlsx inline string) in sheet `sheet`
  /// (append order); ignored for a sheet that does not exist.
  void AddText(std::size_t sheet, int row, int column, std::string text);

  /// Moves every sheet's cells into the book and resolves formats and shared formulas.
  void Finish();

  /// Counts one more cell over all sheets; throws ImportTooLarge past the limit.
  void CountCell();

 private:
  friend class OrcusSheet;
  ImportedBook& book_;
  std::size_t maxCells_;
  std::size_t cellCount_ = 0;
  OrcusSettings settings_;
  OrcusStrings strings_;
  OrcusStyles styles_;
  OrcusResolver resolver_;
  std::vector<std::unique_ptr<OrcusSheet>> sheets_;
};

}  // namespace ploxen
