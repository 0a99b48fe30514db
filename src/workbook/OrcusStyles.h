// Collects the fonts, fills, borders, number formats and cell formats orcus reports into
// the engine's CellFormat table.
#pragma once

#include <map>
#include <vector>

#include <orcus/spreadsheet/import_interface.hpp>

#include "workbook/CellFormat.h"

namespace ploxen {

/// The style importer handed to orcus. `Formats()` gives one CellFormat per cell format
/// (xf) of the file, in file order; index 0 is the file's default format.
class OrcusStyles : public orcus::spreadsheet::iface::import_styles {
 public:
  /// `numberFormatById`: xlsx cell formats name number formats by their numFmtId;
  /// OpenDocument ones by the position the format was committed at.
  explicit OrcusStyles(bool numberFormatById) : byId_(numberFormatById) {}

  /// Cell formats of the file with every component resolved.
  std::vector<CellFormat> Formats() const;

  void set_font_count(size_t) override {}
  void set_font_bold(bool b) override { font_.bold = b; }
  void set_font_italic(bool b) override { font_.italic = b; }
  void set_font_name(std::string_view s) override { font_.name = s; }
  void set_font_size(double point) override { font_.size = point; }
  void set_font_underline(orcus::spreadsheet::underline_t e) override;
  void set_font_underline_width(orcus::spreadsheet::underline_width_t) override {}
  void set_font_underline_mode(orcus::spreadsheet::underline_mode_t) override {}
  void set_font_underline_type(orcus::spreadsheet::underline_type_t) override {}
  void set_font_underline_color(orcus::spreadsheet::color_elem_t, orcus::spreadsheet::color_elem_t,
                                orcus::spreadsheet::color_elem_t,
                                orcus::spreadsheet::color_elem_t) override {}
  void set_font_color(orcus::spreadsheet::color_elem_t alpha, orcus::spreadsheet::color_elem_t red,
                      orcus::spreadsheet::color_elem_t green,
                      orcus::spreadsheet::color_elem_t blue) override;
  void set_strikethrough_style(orcus::spreadsheet::strikethrough_style_t s) override;
  void set_strikethrough_type(orcus::spreadsheet::strikethrough_type_t) override {}
  void set_strikethrough_width(orcus::spreadsheet::strikethrough_width_t) override {}
  void set_strikethrough_text(orcus::spreadsheet::strikethrough_text_t) override {}
  size_t commit_font() override;

  void set_fill_count(size_t) override {}
  void set_fill_pattern_type(orcus::spreadsheet::fill_pattern_t fp) override;
  void set_fill_fg_color(orcus::spreadsheet::color_elem_t alpha,
                         orcus::spreadsheet::color_elem_t red,
                         orcus::spreadsheet::color_elem_t green,
                         orcus::spreadsheet::color_elem_t blue) override;
  void set_fill_bg_color(orcus::spreadsheet::color_elem_t alpha,
                         orcus::spreadsheet::color_elem_t red,
                         orcus::spreadsheet::color_elem_t green,
                         orcus::spreadsheet::color_elem_t blue) override;
  size_t commit_fill() override;

  void set_border_count(size_t) override {}
  void set_border_style(orcus::spreadsheet::border_direction_t dir,
                        orcus::spreadsheet::border_style_t style) override;
  void set_border_color(orcus::spreadsheet::border_direction_t dir,
                        orcus::spreadsheet::color_elem_t alpha,
                        orcus::spreadsheet::color_elem_t red,
                        orcus::spreadsheet::color_elem_t green,
                        orcus::spreadsheet::color_elem_t blue) override;
  void set_border_width(orcus::spreadsheet::border_direction_t dir, double width,
                        orcus::length_unit_t unit) override;
  size_t commit_border() override;

  void set_cell_hidden(bool) override {}
  void set_cell_locked(bool) override {}
  void set_cell_print_content(bool) override {}
  void set_cell_formula_hidden(bool) override {}
  size_t commit_cell_protection() override { return 0; }

  void set_number_format_count(size_t) override {}
  void set_number_format_identifier(size_t id) override { numFmtId_ = static_cast<int>(id); }
  void set_number_format_code(std::string_view s) override { numFmtCode_ = s; }
  size_t commit_number_format() override;

  void set_cell_xf_count(size_t) override {}
  void set_cell_style_xf_count(size_t) override {}
  void set_dxf_count(size_t) override {}
  void set_xf_font(size_t index) override { xf_.font = index; }
  void set_xf_fill(size_t index) override { xf_.fill = index; }
  void set_xf_border(size_t index) override { xf_.border = index; }
  void set_xf_protection(size_t) override {}
  void set_xf_number_format(size_t index) override { xf_.numberFormat = index; }
  void set_xf_style_xf(size_t) override {}
  void set_xf_apply_alignment(bool) override {}
  void set_xf_horizontal_alignment(orcus::spreadsheet::hor_alignment_t align) override;
  void set_xf_vertical_alignment(orcus::spreadsheet::ver_alignment_t align) override;
  size_t commit_cell_xf() override;
  size_t commit_cell_style_xf() override;
  size_t commit_dxf() override;

  void set_cell_style_count(size_t) override {}
  void set_cell_style_name(std::string_view) override {}
  void set_cell_style_xf(size_t) override {}
  void set_cell_style_builtin(size_t) override {}
  void set_cell_style_parent_name(std::string_view) override {}
  size_t commit_cell_style() override { return 0; }

 private:
  struct Font {
    bool bold = false, italic = false, underline = false, strikeout = false;
    std::string name;
    double size = 0.0;
    std::uint32_t colour = kAutoColour;
  };
  struct Fill {
    bool solid = false;
    std::uint32_t fg = kAutoColour, bg = kAutoColour;
  };
  struct Border {
    std::array<BorderLine, 4> lines{};
    std::uint32_t colour = kAutoColour;
  };
  struct Xf {
    size_t font = 0, fill = 0, border = 0, numberFormat = 0;
    HAlign hAlign = HAlign::kGeneral;
    VAlign vAlign = VAlign::kDefault;
  };

  CellFormat Resolve(const Xf& xf) const;
  static int Side(orcus::spreadsheet::border_direction_t dir);

  bool byId_;
  Font font_;
  std::vector<Font> fonts_;
  Fill fill_;
  std::vector<Fill> fills_;
  Border border_;
  std::vector<Border> borders_;
  int numFmtId_ = -1;
  std::string numFmtCode_;
  std::vector<std::string> numFmtByIndex_;
  std::map<int, std::string> numFmtById_;
  Xf xf_;
  std::vector<Xf> xfs_;
  size_t styleXfCount_ = 0, dxfCount_ = 0;
};

}  // namespace ploxen
