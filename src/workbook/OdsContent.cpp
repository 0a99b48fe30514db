// XML text of the OpenDocument spreadsheet parts.
#include "workbook/OdsContent.h"

#include <charconv>
#include <cstdio>
#include <map>

#include "workbook/DisplayText.h"
#include "workbook/XmlText.h"

namespace ploxen {

namespace {

constexpr const char* kNamespaces =
    " xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\""
    " xmlns:style=\"urn:oasis:names:tc:opendocument:xmlns:style:1.0\""
    " xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\""
    " xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\""
    " xmlns:fo=\"urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0\""
    " xmlns:number=\"urn:oasis:names:tc:opendocument:xmlns:datastyle:1.0\""
    " xmlns:meta=\"urn:oasis:names:tc:opendocument:xmlns:meta:1.0\""
    " xmlns:of=\"urn:oasis:names:tc:opendocument:xmlns:of:1.2\""
    " xmlns:xlink=\"http://www.w3.org/1999/xlink\""
    " office:version=\"1.2\"";

/// Paragraph text with spaces, tabs and line breaks kept as the format needs them.
void AppendParagraphText(std::string& out, std::string_view s) {
  out += "<text:p>";
  for (std::size_t i = 0; i < s.size();) {
    if (s[i] == ' ' && (i == 0 || s[i - 1] == ' ' || i + 1 == s.size())) {
      std::size_t n = 0;
      while (i < s.size() && s[i] == ' ') ++n, ++i;
      out += n == 1 ? "<text:s/>" : "<text:s text:c=\"" + std::to_string(n) + "\"/>";
    } else if (s[i] == '\t') {
      out += "<text:tab/>";
      ++i;
    } else if (s[i] == '\n') {
      out += "</text:p><text:p>";
      ++i;
    } else {
      std::size_t j = i;
      while (j < s.size() && s[j] != '\t' && s[j] != '\n' &&
             !(s[j] == ' ' && (j + 1 == s.size() || s[j + 1] == ' ')))
        ++j;
      if (j == i) j = i + 1;
      AppendXmlEscaped(out, s.substr(i, j - i));
      i = j;
    }
  }
  out += "</text:p>";
}

std::string Num(double v) {
  char buf[32];
  auto res = std::to_chars(buf, buf + sizeof buf, v);
  return std::string(buf, res.ptr);
}

std::string Colour(std::uint32_t rgb) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "#%06x", rgb & 0xFFFFFFu);
  return buf;
}

std::string BorderText(BorderLine line, std::uint32_t colour) {
  std::string c = Colour(colour == kAutoColour ? 0 : colour);
  switch (line) {
    case BorderLine::kThin:
      return "0.74pt solid " + c;
    case BorderLine::kMedium:
      return "1.76pt solid " + c;
    case BorderLine::kThick:
      return "2.49pt solid " + c;
    case BorderLine::kDashed:
      return "0.74pt dashed " + c;
    case BorderLine::kDotted:
      return "0.74pt dotted " + c;
    case BorderLine::kDouble:
      return "1.1pt double " + c;
    default:
      return "none";
  }
}

/// A number style for the numeric format codes DisplayText knows; empty when none.
std::string NumberStyle(const std::string& name, const std::string& code) {
  std::string_view c(code);
  c = c.substr(0, c.find(';'));
  if (c.empty() || c == "General" || c == "@") return "";
  for (char ch : c)
    if (!(ch == '0' || ch == '#' || ch == '.' || ch == ',' || ch == '%' || ch == 'E' || ch == 'e' ||
          ch == '+' || ch == '-'))
      return "";
  int decimals = 0;
  std::size_t point = c.find('.');
  if (point != std::string_view::npos)
    for (std::size_t i = point + 1; i < c.size() && (c[i] == '0' || c[i] == '#'); ++i) ++decimals;
  bool percent = c.find('%') != std::string_view::npos;
  bool scientific = c.find_first_of("Ee") != std::string_view::npos;
  bool grouping = c.find(',') != std::string_view::npos;
  std::string d = std::to_string(decimals);
  std::string out;
  if (scientific) {
    out = "<number:number-style style:name=\"" + name +
          "\"><number:scientific-number number:decimal-places=\"" + d +
          "\" number:min-integer-digits=\"1\" "
          "number:min-exponent-digits=\"2\"/></number:number-style>";
  } else {
    std::string number =
        "<number:number number:decimal-places=\"" + d + "\" number:min-decimal-places=\"" + d +
        "\" number:min-integer-digits=\"1\"" + (grouping ? " number:grouping=\"true\"" : "") + "/>";
    out = percent ? "<number:percentage-style style:name=\"" + name + "\">" + number +
                        "<number:text>%</number:text></number:percentage-style>"
                  : "<number:number-style style:name=\"" + name + "\">" + number +
                        "</number:number-style>";
  }
  return out;
}

/// Automatic cell style "ce<i>" of format i (with its number style "N<i>" when needed).
void AppendCellStyle(std::string& out, int index, const CellFormat& f) {
  std::string name = "ce" + std::to_string(index);
  std::string dataName = "N";
  dataName += std::to_string(index);
  std::string dataStyle = NumberStyle(dataName, f.numberFormat);
  out += dataStyle;
  out += "<style:style style:name=\"" + name +
         "\" style:family=\"table-cell\" style:parent-style-name=\"Default\"";
  if (!dataStyle.empty()) out += " style:data-style-name=\"N" + std::to_string(index) + "\"";
  out += ">";
  out += "<style:table-cell-properties";
  if (f.fillColour != kAutoColour) out += " fo:background-color=\"" + Colour(f.fillColour) + "\"";
  const char* sides[4] = {"left", "right", "top", "bottom"};
  for (int i = 0; i < 4; ++i)
    if (f.borders[i] != BorderLine::kNone)
      out += std::string(" fo:border-") + sides[i] + "=\"" +
             BorderText(f.borders[i], f.borderColour) + "\"";
  if (f.wrap) out += " fo:wrap-option=\"wrap\"";
  if (f.vAlign == VAlign::kTop) out += " style:vertical-align=\"top\"";
  if (f.vAlign == VAlign::kCenter) out += " style:vertical-align=\"middle\"";
  if (f.vAlign == VAlign::kBottom) out += " style:vertical-align=\"bottom\"";
  out += "/>";
  if (f.hAlign != HAlign::kGeneral) {
    const char* align = f.hAlign == HAlign::kLeft     ? "start"
                        : f.hAlign == HAlign::kCenter ? "center"
                        : f.hAlign == HAlign::kRight  ? "end"
                                                      : "justify";
    out += std::string("<style:paragraph-properties fo:text-align=\"") + align + "\"/>";
  }
  out += "<style:text-properties";
  if (f.bold) out += " fo:font-weight=\"bold\"";
  if (f.italic) out += " fo:font-style=\"italic\"";
  if (f.underline)
    out +=
        " style:text-underline-style=\"solid\" style:text-underline-width=\"auto\" "
        "style:text-underline-color=\"font-color\"";
  if (f.strikeout) out += " style:text-line-through-style=\"solid\"";
  if (!f.fontName.empty()) {
    out += " fo:font-family=\"";
    AppendXmlEscaped(out, f.fontName);
    out += "\"";
  }
  if (f.fontSizePt > 0) out += " fo:font-size=\"" + Num(f.fontSizePt) + "pt\"";
  if (f.fontColour != kAutoColour) out += " fo:color=\"" + Colour(f.fontColour) + "\"";
  out += "/></style:style>";
}

/// Value attributes and paragraph of a cell showing `v` with format code `code`.
void AppendValue(std::string& out, const CellValue& v, const std::string& code, std::string& para) {
  para.clear();
  switch (v.kind) {
    case ValueKind::kNumber:
      out += " office:value-type=\"float\" office:value=\"" + Num(v.number) + "\"";
      AppendParagraphText(para, DisplayText(v, code));
      break;
    case ValueKind::kText:
      out += " office:value-type=\"string\"";
      AppendParagraphText(para, v.text);
      break;
    case ValueKind::kBoolean:
      out += std::string(" office:value-type=\"boolean\" office:boolean-value=\"") +
             (v.number != 0 ? "true" : "false") + "\"";
      AppendParagraphText(para, ValueText(v));
      break;
    case ValueKind::kError:
      out += " office:value-type=\"string\" office:string-value=\"\"";
      AppendParagraphText(para, ValueText(v));
      break;
    default:
      break;
  }
}

}  // namespace

namespace {

/// Writes the table of one sheet.
class SheetXml {
 public:
  SheetXml(WorkbookEngine& engine, Book& book, Sheet& sheet,
           const std::map<double, std::string>& columnStyles,
           const std::map<double, std::string>& rowStyles)
      : engine_(engine),
        book_(book),
        sheet_(sheet),
        columnStyles_(columnStyles),
        rowStyles_(rowStyles) {}

  void Append(std::string& out) {
    out += "<table:table table:name=\"";
    AppendXmlEscaped(out, sheet_.Name());
    out += "\">";
    AppendColumns(out);
    for (const MergedRange& m : sheet_.merges) {
      anchors_[CellKey(m.firstRow, m.firstColumn)] = {m.lastRow - m.firstRow + 1,
                                                      m.lastColumn - m.firstColumn + 1};
      lastRow_ = std::max(lastRow_, m.lastRow);
    }
    CellAddr used = sheet_.LastUsed();
    lastRow_ = std::max(lastRow_, used.row);
    if (!sheet_.Cells().empty())
      lastRow_ = std::max(lastRow_, KeyRow(sheet_.Cells().rbegin()->first));
    if (!sheet_.rowHeights.empty())
      lastRow_ = std::max(lastRow_, sheet_.rowHeights.rbegin()->first);
    AppendRows(out);
    out += "</table:table>";
  }

 private:
  void AppendColumns(std::string& out) {
    int last = sheet_.columnWidths.empty() ? -1 : sheet_.columnWidths.rbegin()->first;
    int c = 0;
    while (c <= last) {
      auto it = sheet_.columnWidths.find(c);
      std::string style = it == sheet_.columnWidths.end() ? "co0" : columnStyles_.at(it->second);
      int run = 1;
      while (c + run <= last) {
        auto next = sheet_.columnWidths.find(c + run);
        std::string nextStyle =
            next == sheet_.columnWidths.end() ? "co0" : columnStyles_.at(next->second);
        if (nextStyle != style) break;
        ++run;
      }
      out += "<table:table-column table:style-name=\"" + style + "\"";
      if (run > 1) out += " table:number-columns-repeated=\"" + std::to_string(run) + "\"";
      out += " table:default-cell-style-name=\"Default\"/>";
      c += run;
    }
    out +=
        "<table:table-column table:style-name=\"co0\" table:default-cell-style-name=\"Default\"/>";
  }

  bool Covered(int row, int col) const {
    for (const MergedRange& m : sheet_.merges)
      if (row >= m.firstRow && row <= m.lastRow && col >= m.firstColumn && col <= m.lastColumn &&
          !(row == m.firstRow && col == m.firstColumn))
        return true;
    return false;
  }

  void AppendRows(std::string& out) {
    auto cell = sheet_.Cells().begin();
    const auto end = sheet_.Cells().end();
    int row = 0;
    while (row <= lastRow_) {
      bool hasCells = cell != end && KeyRow(cell->first) == row;
      bool inMerge = RowInMerge(row);
      auto height = sheet_.rowHeights.find(row);
      if (!hasCells && !inMerge && height == sheet_.rowHeights.end()) {
        int next = cell != end ? KeyRow(cell->first) : lastRow_ + 1;
        int run = 0;
        while (row + run < next && row + run <= lastRow_ && !RowInMerge(row + run) &&
               !sheet_.rowHeights.count(row + run))
          ++run;
        out += "<table:table-row table:style-name=\"ro0\"";
        if (run > 1) out += " table:number-rows-repeated=\"" + std::to_string(run) + "\"";
        out += "><table:table-cell/></table:table-row>";
        row += run;
        continue;
      }
      out += "<table:table-row table:style-name=\"";
      out += height == sheet_.rowHeights.end() ? "ro0" : rowStyles_.at(height->second);
      out += "\">";
      // Columns of this row that need an element: stored cells and covered merge parts.
      std::map<int, const Cell*> columns;
      for (; cell != end && KeyRow(cell->first) == row; ++cell)
        columns[KeyCol(cell->first)] = &cell->second;
      for (const MergedRange& m : sheet_.merges)
        if (row >= m.firstRow && row <= m.lastRow)
          for (int c = m.firstColumn; c <= m.lastColumn; ++c) columns.try_emplace(c, nullptr);
      int col = 0;
      for (const auto& [c, content] : columns) {
        if (c > col) {
          out += "<table:table-cell";
          if (c - col > 1)
            out += " table:number-columns-repeated=\"" + std::to_string(c - col) + "\"";
          out += "/>";
        }
        AppendCell(out, row, c, content);
        col = c + 1;
      }
      out += "<table:table-cell/></table:table-row>";
      ++row;
    }
  }

  bool RowInMerge(int row) const {
    for (const MergedRange& m : sheet_.merges)
      if (row >= m.firstRow && row <= m.lastRow) return true;
    return false;
  }

  void AppendCell(std::string& out, int row, int col, const Cell* cell) {
    bool covered = Covered(row, col);
    out += covered ? "<table:covered-table-cell" : "<table:table-cell";
    int format = cell ? cell->format : 0;
    if (format > 0 && format < static_cast<int>(book_.formats.size()))
      out += " table:style-name=\"ce" + std::to_string(format) + "\"";
    auto anchor = anchors_.find(CellKey(row, col));
    if (!covered && anchor != anchors_.end()) {
      out += " table:number-rows-spanned=\"" + std::to_string(anchor->second.first) +
             "\" table:number-columns-spanned=\"" + std::to_string(anchor->second.second) + "\"";
    }
    std::string para;
    if (cell) AppendOdsCellContent(out, para, engine_, book_, sheet_.Id(), row, col, *cell);
    if (para.empty()) {
      out += "/>";
    } else {
      out += ">" + para + (covered ? "</table:covered-table-cell>" : "</table:table-cell>");
    }
  }

  WorkbookEngine& engine_;
  Book& book_;
  Sheet& sheet_;
  const std::map<double, std::string>& columnStyles_;
  const std::map<double, std::string>& rowStyles_;
  std::map<std::uint64_t, std::pair<int, int>> anchors_;  ///< merge anchor -> rows, columns
  int lastRow_ = -1;
};

/// A hidden table holding the values cached for one sheet of another file, named as
/// references into that file name it ("'file:///path/Other.ods'#Sheet").
void AppendLinkTable(std::string& out, const ExternalBook& link, const std::string& sheetName,
                     const std::map<std::pair<int, int>, ExternalCachedCell>& cells) {
  out += "<table:table table:name=\"";
  AppendXmlEscaped(out, "'" + link.target + "'#" + sheetName);
  out += "\" table:print=\"false\"><table:table-source xlink:type=\"simple\" xlink:href=\"";
  AppendXmlEscaped(out, link.target);
  out += "\" table:table-name=\"";
  AppendXmlEscaped(out, sheetName);
  out += "\" table:mode=\"copy-results-only\"/><table:table-column/>";
  int row = 0;
  auto it = cells.begin();
  while (it != cells.end()) {
    int cellRow = it->first.first;
    if (cellRow > row) {
      out += "<table:table-row table:number-rows-repeated=\"" + std::to_string(cellRow - row) +
             "\"><table:table-cell/></table:table-row>";
    }
    out += "<table:table-row>";
    int col = 0;
    for (; it != cells.end() && it->first.first == cellRow; ++it) {
      int c = it->first.second;
      if (c > col)
        out +=
            "<table:table-cell table:number-columns-repeated=\"" + std::to_string(c - col) + "\"/>";
      std::string para;
      const ExternalCachedCell& v = it->second;
      out += "<table:table-cell";
      AppendValue(out, v.isNumber ? CellValue::Number(v.number) : CellValue::Text(v.text), {},
                  para);
      out += ">" + para + "</table:table-cell>";
      col = c + 1;
    }
    out += "</table:table-row>";
    row = cellRow + 1;
  }
  out += "</table:table>";
}

/// Width in inches of a column of `chars` characters of the default font.
double ColumnInches(double chars) {
  return (chars * 7.0 + 5.0) / 96.0;
}

}  // namespace

void AppendOdsCellContent(std::string& attrs, std::string& para, WorkbookEngine& engine,
                          Book& book, SheetId sheet, int row, int col, const Cell& cell) {
  static const std::string kGeneral;
  const int format = cell.format;
  const std::string& code = format > 0 && format < static_cast<int>(book.formats.size())
                                ? book.formats[format].numberFormat
                                : kGeneral;
  para.clear();
  if (cell.formula) {
    attrs += " table:formula=\"";
    AppendXmlEscaped(attrs, engine.FormulaText(sheet, row, col, FormulaSyntax::kOds));
    attrs += "\"";
    AppendValue(attrs, engine.Value(sheet, row, col), code, para);
  } else if (cell.value.kind == ValueKind::kError) {
    attrs += " table:formula=\"of:=";
    attrs += ErrorCodeText(cell.value.error);
    attrs += "\"";
    AppendValue(attrs, cell.value, code, para);
  } else {
    AppendValue(attrs, cell.value, code, para);
  }
}

std::string OdsTableXml(WorkbookEngine& engine, Book& book, Sheet& sheet) {
  // Column widths and row heights would need styles of their own in the file's style set.
  std::map<double, std::string> none;
  std::string out;
  std::map<int, double> widths = std::move(sheet.columnWidths);
  std::map<int, double> heights = std::move(sheet.rowHeights);
  sheet.columnWidths.clear();
  sheet.rowHeights.clear();
  SheetXml(engine, book, sheet, none, none).Append(out);
  sheet.columnWidths = std::move(widths);
  sheet.rowHeights = std::move(heights);
  return out;
}

std::string OdsContentXml(WorkbookEngine& engine, Book& book) {
  std::map<double, std::string> columnStyles, rowStyles;
  for (int s = 0; s < book.SheetCount(); ++s) {
    for (const auto& [col, w] : book.SheetAt(s).columnWidths)
      columnStyles.try_emplace(w, "co" + std::to_string(columnStyles.size() + 1));
    for (const auto& [row, h] : book.SheetAt(s).rowHeights)
      rowStyles.try_emplace(h, "ro" + std::to_string(rowStyles.size() + 1));
  }
  std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<office:document-content";
  out += kNamespaces;
  out += "><office:automatic-styles>";
  out +=
      "<style:style style:name=\"co0\" "
      "style:family=\"table-column\"><style:table-column-properties "
      "fo:break-before=\"auto\" style:column-width=\"0.889in\"/></style:style>";
  for (const auto& [w, name] : columnStyles)
    out += "<style:style style:name=\"" + name +
           "\" style:family=\"table-column\"><style:table-column-properties "
           "fo:break-before=\"auto\" style:column-width=\"" +
           Num(ColumnInches(w)) + "in\"/></style:style>";
  out +=
      "<style:style style:name=\"ro0\" style:family=\"table-row\"><style:table-row-properties "
      "style:row-height=\"0.178in\" fo:break-before=\"auto\" "
      "style:use-optimal-row-height=\"true\"/></style:style>";
  for (const auto& [h, name] : rowStyles)
    out += "<style:style style:name=\"" + name +
           "\" style:family=\"table-row\"><style:table-row-properties "
           "style:row-height=\"" +
           Num(h) +
           "pt\" fo:break-before=\"auto\" style:use-optimal-row-height=\"false\"/></style:style>";
  for (int i = 1; i < static_cast<int>(book.formats.size()); ++i)
    AppendCellStyle(out, i, book.formats[i]);
  out += "</office:automatic-styles><office:body><office:spreadsheet>";
  for (int s = 0; s < book.SheetCount(); ++s)
    SheetXml(engine, book, book.SheetAt(s), columnStyles, rowStyles).Append(out);
  for (const ExternalBook& link : book.externalLinks)
    if (!link.target.empty())
      for (const auto& [name, cells] : link.sheets) AppendLinkTable(out, link, name, cells);
  out += "</office:spreadsheet></office:body></office:document-content>";
  return out;
}

std::string OdsStylesXml() {
  std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<office:document-styles";
  out += kNamespaces;
  out +=
      "><office:styles><style:default-style "
      "style:family=\"table-cell\"><style:table-cell-properties "
      "style:decimal-places=\"2\"/><style:text-properties style:font-name=\"Liberation Sans\" "
      "fo:font-size=\"10pt\"/></style:default-style><style:style style:name=\"Default\" "
      "style:family=\"table-cell\"/></office:styles></office:document-styles>";
  return out;
}

std::string OdsMetaXml() {
  std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<office:document-meta";
  out += kNamespaces;
  out +=
      "><office:meta><meta:generator>Ploxen "
      "Mizzolith</meta:generator></office:meta></office:document-meta>";
  return out;
}

std::string OdsManifestXml() {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
         "<manifest:manifest xmlns:manifest=\"urn:oasis:names:tc:opendocument:xmlns:manifest:1.0\" "
         "manifest:version=\"1.2\">"
         "<manifest:file-entry manifest:full-path=\"/\" manifest:version=\"1.2\" "
         "manifest:media-type=\"application/vnd.oasis.opendocument.spreadsheet\"/>"
         "<manifest:file-entry manifest:full-path=\"content.xml\" "
         "manifest:media-type=\"text/xml\"/>"
         "<manifest:file-entry manifest:full-path=\"styles.xml\" manifest:media-type=\"text/xml\"/>"
         "<manifest:file-entry manifest:full-path=\"meta.xml\" manifest:media-type=\"text/xml\"/>"
         "</manifest:manifest>";
}

}  // namespace ploxen
