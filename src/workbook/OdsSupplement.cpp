// Streaming pass over an ods content.xml for formats, merges and exact cell texts.
#include "workbook/OdsSupplement.h"

#include <algorithm>
#include <charconv>
#include <map>
#include <string>
#include <unordered_map>
#include <vector>

#include <orcus/sax_parser.hpp>

#include "workbook/CellAddress.h"
#include "workbook/OrcusFactory.h"

namespace ploxen {

namespace {

std::uint32_t ParseColour(std::string_view s) {
  if (s.size() != 7 || s[0] != '#') return kAutoColour;
  std::uint32_t v = 0;
  auto res = std::from_chars(s.data() + 1, s.data() + 7, v, 16);
  return res.ec == std::errc() ? v : kAutoColour;
}

double ParsePt(std::string_view s) {
  double v = 0.0;
  auto res = std::from_chars(s.data(), s.data() + s.size(), v);
  std::string_view unit(res.ptr, s.data() + s.size() - res.ptr);
  if (unit == "in") return v * 72.0;
  if (unit == "cm") return v * 72.0 / 2.54;
  if (unit == "mm") return v * 72.0 / 25.4;
  return v;  // pt
}

BorderLine ParseBorder(std::string_view s) {
  if (s.empty() || s == "none" || s == "hidden") return BorderLine::kNone;
  double width = ParsePt(s.substr(0, s.find(' ')));
  if (s.find("double") != std::string_view::npos) return BorderLine::kDouble;
  if (s.find("dashed") != std::string_view::npos) return BorderLine::kDashed;
  if (s.find("dotted") != std::string_view::npos) return BorderLine::kDotted;
  if (width >= 2.0) return BorderLine::kThick;
  if (width >= 1.0) return BorderLine::kMedium;
  return BorderLine::kThin;
}

/// An ISO 8601 duration "PT18H30M00S" (days allowed: "P1DT2H") as a fraction of days; 0 when
/// it is not one.
double DurationDays(std::string_view s) {
  double days = 0.0;
  bool negative = !s.empty() && s[0] == '-';
  if (negative) s.remove_prefix(1);
  if (s.empty() || s[0] != 'P') return 0.0;
  s.remove_prefix(1);
  bool time = false;
  while (!s.empty()) {
    if (s[0] == 'T') {
      time = true;
      s.remove_prefix(1);
      continue;
    }
    double v = 0.0;
    auto res = std::from_chars(s.data(), s.data() + s.size(), v);
    if (res.ec != std::errc() || res.ptr == s.data() + s.size()) return 0.0;
    const char unit = *res.ptr;
    s.remove_prefix(static_cast<std::size_t>(res.ptr - s.data()) + 1);
    if (unit == 'D' && !time) days += v;
    else if (unit == 'H' && time) days += v / 24.0;
    else if (unit == 'M' && time) days += v / 1440.0;
    else if (unit == 'S' && time) days += v / 86400.0;
    else return 0.0;
  }
  return negative ? -days : days;
}

int IntOf(std::string_view s, int fallback) {
  int v = fallback;
  if (!s.empty()) std::from_chars(s.data(), s.data() + s.size(), v);
  return v;
}

/// The SAX handler.
class Reader {
 public:
  Reader(ImportedBook& book, std::size_t maxCells) : book_(book), maxCells_(maxCells) {
    for (const ImportedSheet& sheet : book.sheets) cellCount_ += sheet.cells.size();
  }

  void doctype(const orcus::sax::doctype_declaration&) {}
  void start_declaration(std::string_view) {}
  void end_declaration(std::string_view) {}
  void attribute(std::string_view, std::string_view) {}
  void attribute(const orcus::sax::parser_attribute& a) {
    attrs_.emplace_back(std::string(a.name), std::string(a.value));
  }
  void characters(std::string_view val, bool) {
    if (inParagraph_ && annotation_ == 0) text_.append(val);
  }
  void start_element(const orcus::sax::parser_element& e);
  void end_element(const orcus::sax::parser_element& e);

 private:
  std::string_view Attr(std::string_view name) const {
    for (const auto& [k, v] : attrs_)
      if (k == name) return v;
    return {};
  }
  void StyleProperties(std::string_view element);
  void StartCell(bool covered);
  void EndCell();
  ImportedCell* Find(int row, int col);
  int FormatIndex(const std::string& styleName);

  /// Gives a cell the constant of the value types orcus skips (boolean, percentage, currency,
  /// time); a formula without a cached result gets it as that.
  void SetSkippedValue(ImportedCell& cell) const;

  ImportedBook& book_;
  std::size_t maxCells_;
  std::size_t cellCount_ = 0;
  std::vector<std::pair<std::string, std::string>> attrs_;
  // Styles.
  std::map<std::string, std::string> numberStyles_;  ///< data style name -> format code
  std::string numberStyle_;
  std::string numberCode_;
  std::map<std::string, CellFormat> cellStyles_;
  std::map<std::string, int> formatIndex_;
  std::string cellStyle_;
  bool inCellStyle_ = false;
  // Tables.
  int sheet_ = -1;
  ImportedSheet* current_ = nullptr;
  std::unordered_map<std::uint64_t, std::size_t> index_;
  std::vector<std::string> columnStyles_;  ///< default cell style per column
  int row_ = 0, col_ = 0, rowRepeat_ = 1;
  // Cell being read.
  bool inCell_ = false;
  std::string cellStyleName_;
  int colRepeat_ = 1;
  enum class Skipped { kNone, kBoolean, kNumber } skipped_ = Skipped::kNone;
  double skippedValue_ = 0.0;
  int paragraphs_ = 0;
  bool inParagraph_ = false;
  int annotation_ = 0;
  std::string text_;
};

void Reader::start_element(const orcus::sax::parser_element& e) {
  std::string_view n = e.name;
  if (n == "number-style" || n == "percentage-style" || n == "text-style" ||
      n == "currency-style") {
    numberStyle_ = Attr("name");
    numberCode_.clear();
    if (n == "text-style") numberCode_.push_back('@');
    if (n == "percentage-style") numberCode_.push_back('%');
  } else if (n == "number" && !numberStyle_.empty()) {
    int decimals = IntOf(Attr("decimal-places"), 0);
    bool grouping = Attr("grouping") == "true";
    std::string code = grouping ? "#,##0" : "0";
    if (decimals > 0) code.append(".").append(static_cast<std::size_t>(decimals), '0');
    if (numberCode_ == "%") code.push_back('%');
    numberCode_ = code;
  } else if (n == "scientific-number" && !numberStyle_.empty()) {
    int decimals = IntOf(Attr("decimal-places"), 0);
    numberCode_ = "0";
    if (decimals > 0) numberCode_.append(".").append(static_cast<std::size_t>(decimals), '0');
    numberCode_ += "E+00";
  } else if (n == "style" && e.ns == "style" && Attr("family") == "table-cell") {
    inCellStyle_ = true;
    cellStyle_ = Attr("name");
    CellFormat& f = cellStyles_[cellStyle_];
    auto data = numberStyles_.find(std::string(Attr("data-style-name")));
    if (data != numberStyles_.end()) f.numberFormat = data->second;
  } else if (inCellStyle_ && (n == "text-properties" || n == "table-cell-properties" ||
                              n == "paragraph-properties")) {
    StyleProperties(n);
  } else if (n == "table" && e.ns == "table") {
    ++sheet_;
    current_ = sheet_ < static_cast<int>(book_.sheets.size()) ? &book_.sheets[sheet_] : nullptr;
    index_.clear();
    columnStyles_.clear();
    row_ = 0;
    if (current_) {
      current_->merges.clear();
      for (std::size_t i = 0; i < current_->cells.size(); ++i)
        index_[CellKey(current_->cells[i].row, current_->cells[i].column)] = i;
    }
  } else if (n == "table-column" && e.ns == "table") {
    int repeat = std::min(IntOf(Attr("number-columns-repeated"), 1), kMaxColumns);
    std::string style(Attr("default-cell-style-name"));
    if (static_cast<int>(columnStyles_.size()) + repeat <= kMaxColumns)
      columnStyles_.insert(columnStyles_.end(), std::max(1, repeat), style);
  } else if (n == "table-row" && e.ns == "table") {
    col_ = 0;
    rowRepeat_ = std::max(1, IntOf(Attr("number-rows-repeated"), 1));
  } else if ((n == "table-cell" || n == "covered-table-cell") && e.ns == "table") {
    StartCell(n == "covered-table-cell");
  } else if (n == "annotation") {
    ++annotation_;
  } else if (inCell_ && annotation_ == 0) {
    if (n == "p" && e.ns == "text") {
      if (paragraphs_++ > 0) text_ += '\n';
      inParagraph_ = true;
    } else if (n == "s" && e.ns == "text") {
      text_.append(std::max(1, IntOf(Attr("c"), 1)), ' ');
    } else if (n == "tab") {
      text_ += '\t';
    } else if (n == "line-break") {
      text_ += '\n';
    }
  }
  attrs_.clear();
}

void Reader::StyleProperties(std::string_view element) {
  CellFormat& f = cellStyles_[cellStyle_];
  for (const auto& [k, v] : attrs_) {
    if (element == "text-properties") {
      if (k == "font-weight")
        f.bold = v == "bold" || v == "700" || v == "800" || v == "900";
      else if (k == "font-style")
        f.italic = v == "italic" || v == "oblique";
      else if (k == "text-underline-style")
        f.underline = v != "none";
      else if (k == "text-line-through-style")
        f.strikeout = v != "none";
      else if (k == "font-name" || k == "font-family")
        f.fontName = v;
      else if (k == "font-size")
        f.fontSizePt = ParsePt(v);
      else if (k == "color")
        f.fontColour = ParseColour(v);
    } else if (element == "table-cell-properties") {
      if (k == "background-color")
        f.fillColour = ParseColour(v);
      else if (k == "border")
        f.borders.fill(ParseBorder(v));
      else if (k == "border-left")
        f.borders[0] = ParseBorder(v);
      else if (k == "border-right")
        f.borders[1] = ParseBorder(v);
      else if (k == "border-top")
        f.borders[2] = ParseBorder(v);
      else if (k == "border-bottom")
        f.borders[3] = ParseBorder(v);
      else if (k == "wrap-option")
        f.wrap = v == "wrap";
      else if (k == "vertical-align")
        f.vAlign = v == "top"      ? VAlign::kTop
                   : v == "middle" ? VAlign::kCenter
                   : v == "bottom" ? VAlign::kBottom
                                   : VAlign::kDefault;
      if ((k == "border" || k.rfind("border-", 0) == 0) && f.borderColour == kAutoColour) {
        std::size_t hash = v.find('#');
        if (hash != std::string::npos)
          f.borderColour = ParseColour(std::string_view(v).substr(hash, 7));
      }
    } else if (element == "paragraph-properties" && k == "text-align") {
      f.hAlign = v == "center"                   ? HAlign::kCenter
                 : (v == "end" || v == "right")  ? HAlign::kRight
                 : (v == "start" || v == "left") ? HAlign::kLeft
                 : v == "justify"                ? HAlign::kJustify
                                                 : HAlign::kGeneral;
    }
  }
}

void Reader::StartCell(bool covered) {
  inCell_ = true;
  paragraphs_ = 0;
  text_.clear();
  colRepeat_ = std::max(1, IntOf(Attr("number-columns-repeated"), 1));
  cellStyleName_ = Attr("style-name");
  const std::string_view type = Attr("value-type");
  skipped_ = Skipped::kNone;
  skippedValue_ = 0.0;
  if (type == "boolean") {
    skipped_ = Skipped::kBoolean;
    skippedValue_ = Attr("boolean-value") == "true" ? 1.0 : 0.0;
  } else if (type == "percentage" || type == "currency") {
    const std::string_view value = Attr("value");
    if (std::from_chars(value.data(), value.data() + value.size(), skippedValue_).ec == std::errc())
      skipped_ = Skipped::kNumber;
  } else if (type == "time") {
    skipped_ = Skipped::kNumber;
    skippedValue_ = DurationDays(Attr("time-value"));
  }
  if (cellStyleName_.empty() && col_ < static_cast<int>(columnStyles_.size()))
    cellStyleName_ = columnStyles_[col_];
  int cols = IntOf(Attr("number-columns-spanned"), 1);
  int rows = IntOf(Attr("number-rows-spanned"), 1);
  if (!covered && current_ && (cols > 1 || rows > 1))
    current_->merges.push_back({row_, col_, row_ + rows - 1, col_ + cols - 1});
}

ImportedCell* Reader::Find(int row, int col) {
  auto it = index_.find(CellKey(row, col));
  return it == index_.end() ? nullptr : &current_->cells[it->second];
}

int Reader::FormatIndex(const std::string& styleName) {
  auto known = formatIndex_.find(styleName);
  if (known != formatIndex_.end()) return known->second;
  auto style = cellStyles_.find(styleName);
  int index = 0;
  if (style != cellStyles_.end() && !style->second.IsDefault()) {
    auto same = std::find(book_.formats.begin(), book_.formats.end(), style->second);
    index = static_cast<int>(same - book_.formats.begin());
    if (same == book_.formats.end()) book_.formats.push_back(style->second);
  }
  formatIndex_[styleName] = index;
  return index;
}

void Reader::EndCell() {
  inCell_ = false;
  if (current_) {
    int format = cellStyleName_.empty() ? 0 : FormatIndex(cellStyleName_);
    int rows = std::min(rowRepeat_, 64), cols = std::min(colRepeat_, 64);
    for (int r = 0; r < rows; ++r) {
      for (int c = 0; c < cols; ++c) {
        ImportedCell* cell = Find(row_ + r, col_ + c);
        if (!cell) {
          const bool value = skipped_ != Skipped::kNone;
          if (!value && (format == 0 || rowRepeat_ * colRepeat_ != 1)) continue;
          if (++cellCount_ > maxCells_) throw ImportTooLarge{};
          index_[CellKey(row_ + r, col_ + c)] = current_->cells.size();
          cell = &current_->cells.emplace_back();
          cell->row = row_ + r;
          cell->column = col_ + c;
        }
        cell->style = format;
        SetSkippedValue(*cell);
        if (cell->kind == ImportedCell::Kind::kString && paragraphs_ > 0 && cell->text != text_)
          cell->text = text_;
      }
    }
  }
  col_ += colRepeat_;
}

void Reader::SetSkippedValue(ImportedCell& cell) const {
  if (skipped_ == Skipped::kNone) return;
  using K = ImportedCell::Kind;
  using C = ImportedCell::Cached;
  if (cell.kind == K::kEmpty) {
    cell.kind = skipped_ == Skipped::kBoolean ? K::kBool : K::kNumber;
    cell.number = skippedValue_;
  } else if (cell.kind == K::kFormula && cell.cached == C::kNone) {
    cell.cached = skipped_ == Skipped::kBoolean ? C::kBool : C::kNumber;
    cell.number = skippedValue_;
  }
}

void Reader::end_element(const orcus::sax::parser_element& e) {
  std::string_view n = e.name;
  if (n == "number-style" || n == "percentage-style" || n == "text-style" ||
      n == "currency-style") {
    if (!numberStyle_.empty() && numberCode_ != "%") numberStyles_[numberStyle_] = numberCode_;
    numberStyle_.clear();
  } else if (n == "style" && e.ns == "style") {
    inCellStyle_ = false;
  } else if ((n == "table-cell" || n == "covered-table-cell") && e.ns == "table") {
    EndCell();
  } else if (n == "table-row" && e.ns == "table") {
    row_ += rowRepeat_;
    rowRepeat_ = 1;
  } else if (n == "annotation") {
    --annotation_;
  } else if (n == "p" && e.ns == "text") {
    inParagraph_ = false;
  }
  attrs_.clear();
}

}  // namespace

void SupplementOdsContent(std::string_view contentXml, ImportedBook& book, std::size_t maxCells) {
  for (ImportedSheet& sheet : book.sheets)
    for (ImportedCell& cell : sheet.cells) cell.style = 0;  // orcus' ods formats are incomplete
  book.formats.assign(1, CellFormat{});
  Reader reader(book, maxCells);
  orcus::sax_parser<Reader> parser(contentXml.data(), contentXml.size(), reader);
  parser.parse();
}

}  // namespace ploxen
