// Style importer for orcus: keeps the components and resolves each cell format from them.
#include "workbook/OrcusStyles.h"

namespace ploxen {

namespace ss = orcus::spreadsheet;

namespace {

std::uint32_t Rgb(ss::color_elem_t red, ss::color_elem_t green, ss::color_elem_t blue) {
  return (std::uint32_t{red} << 16) | (std::uint32_t{green} << 8) | std::uint32_t{blue};
}

BorderLine LineOf(ss::border_style_t style) {
  switch (style) {
    case ss::border_style_t::unknown:
    case ss::border_style_t::none:
      return BorderLine::kNone;
    case ss::border_style_t::medium:
    case ss::border_style_t::medium_dash_dot:
    case ss::border_style_t::medium_dash_dot_dot:
    case ss::border_style_t::medium_dashed:
      return BorderLine::kMedium;
    case ss::border_style_t::thick:
      return BorderLine::kThick;
    case ss::border_style_t::dashed:
    case ss::border_style_t::dash_dot:
    case ss::border_style_t::dash_dot_dot:
    case ss::border_style_t::fine_dashed:
    case ss::border_style_t::slant_dash_dot:
      return BorderLine::kDashed;
    case ss::border_style_t::dotted:
    case ss::border_style_t::hair:
      return BorderLine::kDotted;
    case ss::border_style_t::double_border:
    case ss::border_style_t::double_thin:
      return BorderLine::kDouble;
    default:
      return BorderLine::kThin;
  }
}

}  // namespace

int OrcusStyles::Side(ss::border_direction_t dir) {
  switch (dir) {
    case ss::border_direction_t::left:
      return 0;
    case ss::border_direction_t::right:
      return 1;
    case ss::border_direction_t::top:
      return 2;
    case ss::border_direction_t::bottom:
      return 3;
    default:
      return -1;
  }
}

void OrcusStyles::set_font_underline(ss::underline_t e) {
  font_.underline = e != ss::underline_t::none;
}

void OrcusStyles::set_font_color(ss::color_elem_t, ss::color_elem_t red, ss::color_elem_t green,
                                 ss::color_elem_t blue) {
  font_.colour = Rgb(red, green, blue);
}

void OrcusStyles::set_strikethrough_style(ss::strikethrough_style_t s) {
  font_.strikeout = s != ss::strikethrough_style_t::none;
}

size_t OrcusStyles::commit_font() {
  fonts_.push_back(font_);
  font_ = Font{};
  return fonts_.size() - 1;
}

void OrcusStyles::set_fill_pattern_type(ss::fill_pattern_t fp) {
  fill_.solid = fp == ss::fill_pattern_t::solid;
}

void OrcusStyles::set_fill_fg_color(ss::color_elem_t, ss::color_elem_t red, ss::color_elem_t green,
                                    ss::color_elem_t blue) {
  fill_.fg = Rgb(red, green, blue);
}

void OrcusStyles::set_fill_bg_color(ss::color_elem_t, ss::color_elem_t red, ss::color_elem_t green,
                                    ss::color_elem_t blue) {
  fill_.bg = Rgb(red, green, blue);
}

size_t OrcusStyles::commit_fill() {
  fills_.push_back(fill_);
  fill_ = Fill{};
  return fills_.size() - 1;
}

void OrcusStyles::set_border_style(ss::border_direction_t dir, ss::border_style_t style) {
  if (int side = Side(dir); side >= 0) border_.lines[side] = LineOf(style);
}

void OrcusStyles::set_border_color(ss::border_direction_t, ss::color_elem_t, ss::color_elem_t red,
                                   ss::color_elem_t green, ss::color_elem_t blue) {
  border_.colour = Rgb(red, green, blue);
}

void OrcusStyles::set_border_width(ss::border_direction_t dir, double width,
                                   orcus::length_unit_t unit) {
  int side = Side(dir);
  if (side < 0 || border_.lines[side] != BorderLine::kThin) return;
  double pt = width;
  if (unit == orcus::length_unit_t::inch)
    pt = width * 72.0;
  else if (unit == orcus::length_unit_t::centimeter)
    pt = width * 72.0 / 2.54;
  else if (unit == orcus::length_unit_t::millimeter)
    pt = width * 72.0 / 25.4;
  if (pt >= 2.0)
    border_.lines[side] = BorderLine::kThick;
  else if (pt >= 1.0)
    border_.lines[side] = BorderLine::kMedium;
}

size_t OrcusStyles::commit_border() {
  borders_.push_back(border_);
  border_ = Border{};
  return borders_.size() - 1;
}

size_t OrcusStyles::commit_number_format() {
  if (numFmtId_ >= 0) numFmtById_[numFmtId_] = numFmtCode_;
  numFmtByIndex_.push_back(numFmtCode_);
  numFmtId_ = -1;
  numFmtCode_.clear();
  return numFmtByIndex_.size() - 1;
}

void OrcusStyles::set_xf_horizontal_alignment(ss::hor_alignment_t align) {
  switch (align) {
    case ss::hor_alignment_t::left:
      xf_.hAlign = HAlign::kLeft;
      break;
    case ss::hor_alignment_t::center:
      xf_.hAlign = HAlign::kCenter;
      break;
    case ss::hor_alignment_t::right:
      xf_.hAlign = HAlign::kRight;
      break;
    case ss::hor_alignment_t::justified:
    case ss::hor_alignment_t::distributed:
      xf_.hAlign = HAlign::kJustify;
      break;
    default:
      xf_.hAlign = HAlign::kGeneral;
      break;
  }
}

void OrcusStyles::set_xf_vertical_alignment(ss::ver_alignment_t align) {
  switch (align) {
    case ss::ver_alignment_t::top:
      xf_.vAlign = VAlign::kTop;
      break;
    case ss::ver_alignment_t::middle:
      xf_.vAlign = VAlign::kCenter;
      break;
    case ss::ver_alignment_t::bottom:
      xf_.vAlign = VAlign::kBottom;
      break;
    default:
      xf_.vAlign = VAlign::kDefault;
      break;
  }
}

size_t OrcusStyles::commit_cell_xf() {
  xfs_.push_back(xf_);
  xf_ = Xf{};
  return xfs_.size() - 1;
}

size_t OrcusStyles::commit_cell_style_xf() {
  xf_ = Xf{};
  return styleXfCount_++;
}

size_t OrcusStyles::commit_dxf() {
  xf_ = Xf{};
  return dxfCount_++;
}

CellFormat OrcusStyles::Resolve(const Xf& xf) const {
  CellFormat f;
  if (xf.font < fonts_.size()) {
    const Font& font = fonts_[xf.font];
    f.bold = font.bold;
    f.italic = font.italic;
    f.underline = font.underline;
    f.strikeout = font.strikeout;
    f.fontName = font.name;
    f.fontSizePt = font.size;
    f.fontColour = font.colour;
  }
  if (xf.fill < fills_.size() && fills_[xf.fill].solid) {
    const Fill& fill = fills_[xf.fill];
    f.fillColour = fill.fg != kAutoColour ? fill.fg : fill.bg;
  }
  if (xf.border < borders_.size()) {
    f.borders = borders_[xf.border].lines;
    f.borderColour = borders_[xf.border].colour;
  }
  if (byId_) {
    auto it = numFmtById_.find(static_cast<int>(xf.numberFormat));
    f.numberFormat = it != numFmtById_.end()
                         ? it->second
                         : BuiltinNumberFormat(static_cast<int>(xf.numberFormat));
  } else if (xf.numberFormat < numFmtByIndex_.size()) {
    f.numberFormat = numFmtByIndex_[xf.numberFormat];
  }
  if (f.numberFormat == "General") f.numberFormat.clear();
  f.hAlign = xf.hAlign;
  f.vAlign = xf.vAlign;
  return f;
}

std::vector<CellFormat> OrcusStyles::Formats() const {
  std::vector<CellFormat> out;
  out.reserve(xfs_.size() + 1);
  for (const Xf& xf : xfs_) out.push_back(Resolve(xf));
  if (out.empty()) out.emplace_back();
  return out;
}

}  // namespace ploxen
