// Worksheet cell data and shared strings written into the parts of an .xlsx package.
#include "workbook/XlsxSheetPatch.h"

#include <charconv>
#include <cmath>

#include "workbook/A1Shift.h"
#include "workbook/CellAddress.h"
#include "workbook/XlsxPatch.h"
#include "workbook/XmlText.h"

namespace ploxen {

namespace {

constexpr const char* kSpreadsheetNs = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";

/// The text of a shared string entry: its <t> runs, without phonetic readings.
std::string EntryText(std::string_view si) {
  std::string text;
  std::size_t pos = 0;
  XmlTag tag;
  int phonetic = 0;
  while (NextXmlTag(si, pos, tag)) {
    if (tag.Local() == "rPh" && !tag.empty) phonetic += tag.closing ? -1 : 1;
    if (tag.closing || tag.empty || tag.Local() != "t" || phonetic > 0) continue;
    std::size_t close = si.find('<', tag.end);
    if (close == std::string_view::npos) break;
    text += XmlDecoded(si.substr(tag.end, close - tag.end));
  }
  return text;
}

void AppendNumber(std::string& out, double v) {
  if (v == 0) v = 0;  // no "-0"
  char buf[32];
  auto res = std::to_chars(buf, buf + sizeof buf, v);
  out.append(buf, res.ptr);
}

}  // namespace

SharedStrings::SharedStrings(std::string xml) : xml_(std::move(xml)) {
  std::size_t pos = 0;
  XmlTag tag;
  while (FindXmlElement(xml_, "si", pos, tag)) {
    std::size_t end = XmlElementEnd(xml_, tag);
    if (end == std::string::npos) break;
    index_.try_emplace(EntryText(std::string_view(xml_).substr(tag.begin, end - tag.begin)),
                       count_);
    ++count_;
    pos = end;
  }
}

int SharedStrings::Index(const std::string& text) {
  auto [it, added] = index_.try_emplace(text, count_ + static_cast<int>(added_.size()));
  if (added) added_.push_back(text);
  return it->second;
}

std::string SharedStrings::Xml() const {
  std::string entries;
  for (const std::string& text : added_) {
    entries += "<si><t xml:space=\"preserve\">";
    AppendXmlEscaped(entries, text);
    entries += "</t></si>";
  }
  const std::string unique = std::to_string(count_ + added_.size());
  XmlTag root;
  std::size_t pos = 0;
  if (xml_.empty() || !FindXmlElement(xml_, "sst", pos, root)) {
    return std::string(
               "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<sst xmlns=\"") +
           kSpreadsheetNs + "\" uniqueCount=\"" + unique + "\">" + entries + "</sst>";
  }
  // The reference count is optional and would need every sheet: it is dropped.
  std::string head = xml_.substr(root.begin, root.end - root.begin);
  head = WithXmlAttribute(WithoutXmlAttribute(head, "count"), "uniqueCount", unique);
  std::string out = xml_.substr(0, root.begin);
  if (root.empty) {
    head.erase(head.size() - 2);  // "<sst .../>" opens for the entries
    return out + head + ">" + entries + "</" + std::string(root.name) + ">" + xml_.substr(root.end);
  }
  std::size_t close = xml_.rfind("</");
  return out + head + xml_.substr(root.end, close - root.end) + entries + xml_.substr(close);
}

namespace {

/// A row of the file's cell data: its attributes other than "r" and "spans", and its style.
struct FileRow {
  std::string attrs;  ///< " ht=\"20\" customHeight=\"1\"", ready to append
  int style = 0;      ///< style of new cells, from s when customFormat is set
};

/// A column range of the file with a style.
struct ColumnStyle {
  int first = 0, last = 0, style = 0;  ///< 0-based columns, inclusive
};

std::string AttributeText(std::string_view tag, std::initializer_list<std::string_view> drop) {
  std::string out;
  for (const auto& [name, value] : XmlAttributes(tag)) {
    bool skip = false;
    for (std::string_view d : drop) skip = skip || name == d;
    if (skip) continue;
    out += ' ';
    out += name;
    out += "=\"";
    out += value;
    out += '"';
  }
  return out;
}

int IntAttribute(std::string_view tag, std::string_view name, int fallback) {
  std::string text = XmlAttribute(tag, name);
  int v = fallback;
  auto [p, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
  return ec == std::errc() && p == text.data() + text.size() ? v : fallback;
}

/// The rows and cells of the file's cell data; cells as their raw elements.
struct FileData {
  std::map<int, FileRow> rows;
  std::unordered_map<std::uint64_t, std::string_view> cells;  ///< CellKey -> <c> element
};

/// The raw value of attribute `name` of start tag text `tag`, without decoding (for the plain
/// values of cell addresses); empty when absent.
std::string_view RawAttribute(std::string_view tag, std::string_view name) {
  for (std::size_t at = tag.find(name); at != std::string_view::npos; at = tag.find(name, at + 1)) {
    std::size_t eq = at + name.size();
    if (at == 0) continue;
    const char before = tag[at - 1];
    if (before != ' ' && before != '\t' && before != '\n' && before != '\r') continue;
    while (eq < tag.size() && (tag[eq] == ' ' || tag[eq] == '\t' || tag[eq] == '\n')) ++eq;
    if (eq + 1 >= tag.size() || tag[eq] != '=') continue;
    std::size_t q = eq + 1;
    while (q < tag.size() && (tag[q] == ' ' || tag[q] == '\t' || tag[q] == '\n')) ++q;
    if (q >= tag.size() || (tag[q] != '"' && tag[q] != '\'')) continue;
    std::size_t close = tag.find(tag[q], q + 1);
    if (close == std::string_view::npos) return {};
    return tag.substr(q + 1, close - q - 1);
  }
  return {};
}

FileData ReadFileData(std::string_view data) {
  FileData file;
  std::size_t pos = 0;
  XmlTag tag;
  int lastRow = -1, lastCol = -1;
  std::string cellClose;
  while (NextXmlTag(data, pos, tag)) {
    if (tag.closing) continue;
    std::string_view text = data.substr(tag.begin, tag.end - tag.begin);
    if (tag.Local() == "row") {
      int r = IntAttribute(text, "r", lastRow + 2) - 1;
      lastRow = r;
      lastCol = -1;
      if (r < 0 || r >= kMaxRows) continue;
      FileRow& row = file.rows[r];
      row.attrs = AttributeText(text, {"r", "spans"});
      std::string custom = XmlAttribute(text, "customFormat");
      if (custom == "1" || custom == "true") row.style = IntAttribute(text, "s", 0);
    } else if (tag.Local() == "c") {
      CellAddr addr{lastRow, lastCol + 1};
      std::string_view ref = RawAttribute(text, "r");
      if (!ref.empty() && !ParseA1(ref, addr)) continue;
      lastCol = addr.col;
      // A cell holds no cells: its element ends at the first end tag of its name.
      std::size_t end = tag.end;
      if (!tag.empty) {
        cellClose.assign("</").append(tag.name).append(">");
        end = data.find(cellClose, tag.end);
        if (end == std::string_view::npos) break;
        end += cellClose.size();
      }
      if (addr.row >= 0)
        file.cells[CellKey(addr.row, addr.col)] = data.substr(tag.begin, end - tag.begin);
      pos = end;
    }
  }
  return file;
}

std::vector<ColumnStyle> ReadColumnStyles(std::string_view xml) {
  std::vector<ColumnStyle> out;
  XmlTag cols;
  if (!FindXmlElement(xml, "cols", 0, cols)) return out;
  std::size_t end = XmlElementEnd(xml, cols);
  std::size_t pos = cols.end;
  XmlTag tag;
  while (pos < end && NextXmlTag(xml, pos, tag)) {
    if (tag.closing || tag.Local() != "col") continue;
    std::string_view text = xml.substr(tag.begin, tag.end - tag.begin);
    int style = IntAttribute(text, "style", 0);
    if (style > 0)
      out.push_back({IntAttribute(text, "min", 1) - 1, IntAttribute(text, "max", 1) - 1, style});
  }
  return out;
}

/// "[Other.xlsx]" -> "[n]" for the books the file links to, as its formulas number them.
std::string NumberLinks(std::string formula, const std::vector<ExternalBook>& links) {
  for (std::size_t i = 0; i < links.size(); ++i) {
    if (links[i].fileName.empty()) continue;
    const std::string from = "[" + links[i].fileName + "]";
    const std::string to = "[" + std::to_string(i + 1) + "]";
    for (std::size_t at = formula.find(from); at != std::string::npos;
         at = formula.find(from, at + to.size()))
      formula.replace(at, from.size(), to);
  }
  return formula;
}

/// Appends one <c> element; nothing for an empty cell without style.
void AppendCell(std::string& out, const std::string& prefix, SheetWriteContext& ctx,
                const Sheet& sheet, int row, int col, const Cell& cell, int style,
                std::string_view keptFormula = {}) {
  CellValue v = cell.formula ? ctx.engine.Value(sheet.Id(), row, col) : cell.value;
  if (!cell.formula && v.kind == ValueKind::kEmpty && style == 0) return;
  if (v.kind == ValueKind::kNumber && !std::isfinite(v.number))
    v = CellValue::Error(ErrorCode::kNum);
  out += '<' + prefix + "c r=\"" + A1Text(row, col) + '"';
  if (style > 0) out += " s=\"" + std::to_string(style) + '"';
  std::string type, value;
  switch (v.kind) {
    case ValueKind::kNumber:
      AppendNumber(value, v.number);
      break;
    case ValueKind::kBoolean:
      type = "b", value = v.number != 0 ? "1" : "0";
      break;
    case ValueKind::kError:
      type = "e", value = ValueText(v);
      break;
    case ValueKind::kText:
      if (cell.formula)
        type = "str", value = v.text;
      else
        type = "s", value = std::to_string(ctx.strings.Index(v.text));
      break;
    default:
      if (cell.formula) value = "0";
      break;
  }
  if (!type.empty()) out += " t=\"" + type + '"';
  if (!cell.formula && value.empty()) {
    out += "/>";
    return;
  }
  out += '>';
  if (cell.formula && !keptFormula.empty()) {
    out += keptFormula;
  } else if (cell.formula) {
    std::string text = ctx.engine.FormulaText(sheet.Id(), row, col, FormulaSyntax::kA1);
    if (!text.empty() && text[0] == '=') text.erase(0, 1);
    out += '<' + prefix + "f>";
    AppendXmlEscaped(out, NumberLinks(std::move(text), ctx.book.externalLinks));
    out += "</" + prefix + "f>";
  }
  out += '<' + prefix + "v>";
  AppendXmlEscaped(out, value);
  out += "</" + prefix + "v></" + prefix + "c>";
}

/// The file's element of a cell that did not change, when it can be written again as it is
/// (with its address moved); empty when the cell must be written from the model. Elements of
/// shared formulas are always rewritten: their group may have changed.
std::string KeptCell(const FileData& file, const SourceSheet& source, std::uint64_t fileKey,
                     const Cell& cell, int row, int col) {
  auto raw = file.cells.find(fileKey);
  auto digest = source.cells.find(fileKey);
  if (raw == file.cells.end() || digest == source.cells.end() || digest->second != CellDigest(cell))
    return {};
  std::string_view text = raw->second;
  if (text.find("t=\"shared\"") != std::string_view::npos) return {};
  if (KeyRow(fileKey) == row) return std::string(text);
  if (text.find("<f") != std::string_view::npos || text.find(":f") != std::string_view::npos)
    return {};
  std::size_t close = text.find('>') + 1;
  return WithXmlAttribute(text.substr(0, close), "r", A1Text(row, col)) +
         std::string(text.substr(close));
}

/// The <f> element of the raw cell element `cell`; empty when it has none.
std::string_view RawFormula(std::string_view cell) {
  XmlTag tag;
  if (!FindXmlElement(cell, "f", 0, tag)) return {};
  std::size_t end = XmlElementEnd(cell, tag);
  return end == std::string_view::npos ? std::string_view()
                                       : cell.substr(tag.begin, end - tag.begin);
}

/// The formula text of a raw <f> element, decoded; empty for the followers of a shared one.
std::string RawFormulaText(std::string_view f) {
  std::size_t open = f.find('>');
  std::size_t close = f.rfind('<');
  if (open == std::string_view::npos || f[open - 1] == '/' || close <= open) return {};
  return XmlDecoded(f.substr(open + 1, close - open - 1));
}

/// True when the cell's formula is still the one the file gave as `text`.
bool FormulaUnchanged(const Cell& cell, std::string_view text) {
  const Formula* f = cell.formula.get();
  return f && f->syntax == FormulaSyntax::kA1 && f->edits == 0 && f->textCurrent &&
         f->shiftRows == 0 && f->shiftCols == 0 && !text.empty() && f->text == text;
}

/// A shared formula of the file: where its text stands and whether it is written again as
/// the file has it (so its followers may keep pointing at it).
struct SharedGroup {
  std::uint64_t master = 0;  ///< CellKey of the cell that holds the text
  std::string text;
  bool kept = false;
};

/// The shared formulas of the file whose first cell still holds the formula it had.
std::unordered_map<std::string, SharedGroup> KeptSharedGroups(const FileData& file,
                                                              const Sheet& sheet) {
  std::unordered_map<std::string, SharedGroup> groups;
  for (const auto& [key, raw] : file.cells) {
    if (raw.find("shared") == std::string_view::npos) continue;
    std::string_view f = RawFormula(raw);
    if (f.empty()) continue;
    std::string_view head = f.substr(0, f.find('>') + 1);
    if (XmlAttribute(head, "t") != "shared") continue;
    std::string text = RawFormulaText(f);
    if (text.empty()) continue;
    const Cell* cell = sheet.Find(KeyRow(key), KeyCol(key));
    groups[XmlAttribute(head, "si")] = {key, text, cell && FormulaUnchanged(*cell, text)};
  }
  return groups;
}

/// The file's <f> element for a formula cell at an unmoved address whose formula did not
/// change, so that its form (shared, array, flags) is kept; empty otherwise.
std::string_view KeptFormula(const FileData& file,
                             const std::unordered_map<std::string, SharedGroup>& groups,
                             std::uint64_t key, const Cell& cell) {
  if (!cell.formula) return {};
  auto raw = file.cells.find(key);
  if (raw == file.cells.end()) return {};
  std::string_view f = RawFormula(raw->second);
  if (f.empty()) return {};
  std::string_view head = f.substr(0, f.find('>') + 1);
  if (XmlAttribute(head, "t") != "shared")
    return FormulaUnchanged(cell, RawFormulaText(f)) ? f : "";
  auto group = groups.find(XmlAttribute(head, "si"));
  if (group == groups.end() || !group->second.kept) return {};
  if (group->second.master == key) return f;
  const int rows = KeyRow(key) - KeyRow(group->second.master);
  const int cols = KeyCol(key) - KeyCol(group->second.master);
  return FormulaUnchanged(cell, ShiftRelativeReferences(group->second.text, rows, cols)) ? f : "";
}

/// The inner content of <sheetData>: every row that has cells or attributes of its own.
std::string SheetDataRows(SheetWriteContext& ctx, const Sheet& sheet, const std::string& prefix,
                          const FileData& file, const std::vector<ColumnStyle>& columns,
                          const SourceSheet* source) {
  std::vector<int> none;
  RowMap rows(source ? source->insertedRows : none);
  std::map<int, const FileRow*> attrs;
  for (const auto& [r, fileRow] : file.rows) {
    int row = rows.ToCurrent(r);
    if (row < kMaxRows) attrs[row] = &fileRow;
  }
  // Without inserted rows, formulas that did not change keep the form the file gave them.
  const bool unmoved = source && !rows.Moved();
  std::unordered_map<std::string, SharedGroup> groups;
  if (unmoved) groups = KeptSharedGroups(file, sheet);
  std::string out;
  auto cell = sheet.Cells().begin();
  const auto end = sheet.Cells().end();
  auto attr = attrs.begin();
  while (cell != end || attr != attrs.end()) {
    int row = cell == end           ? attr->first
              : attr == attrs.end() ? KeyRow(cell->first)
                                    : std::min(attr->first, KeyRow(cell->first));
    const FileRow* fileRow = attr != attrs.end() && attr->first == row ? attr->second : nullptr;
    if (fileRow) ++attr;
    const int fileRowIndex = rows.ToFile(row);
    std::string cells;
    for (; cell != end && KeyRow(cell->first) == row; ++cell) {
      const int col = KeyCol(cell->first);
      const std::uint64_t fileKey = CellKey(fileRowIndex, col);
      if (source && fileRowIndex >= 0) {
        std::string kept = KeptCell(file, *source, fileKey, cell->second, row, col);
        if (!kept.empty()) {
          cells += kept;
          continue;
        }
      }
      int style = cell->second.format;
      bool inFile = source && fileRowIndex >= 0 && source->cells.count(fileKey);
      if (style == 0 && !inFile) {
        if (fileRow && fileRow->style > 0) style = fileRow->style;
        for (const ColumnStyle& c : columns)
          if (style == 0 && col >= c.first && col <= c.last) style = c.style;
      }
      AppendCell(cells, prefix, ctx, sheet, row, col, cell->second, style,
                 unmoved ? KeptFormula(file, groups, fileKey, cell->second) : std::string_view());
    }
    if (cells.empty() && !fileRow) continue;
    out += '<' + prefix + "row r=\"" + std::to_string(row + 1) + '"';
    if (fileRow) out += fileRow->attrs;
    out += cells.empty() ? "/>" : ">" + cells + "</" + prefix + "row>";
  }
  return out;
}

/// "A1:D20" for the used cells of a sheet.
std::string UsedRange(const Sheet& sheet) {
  if (sheet.Cells().empty()) return "A1";
  int r0 = KeyRow(sheet.Cells().begin()->first), r1 = KeyRow(sheet.Cells().rbegin()->first);
  int c0 = kMaxColumns, c1 = 0;
  for (const auto& [key, cell] : sheet.Cells()) {
    c0 = std::min(c0, KeyCol(key));
    c1 = std::max(c1, KeyCol(key));
  }
  std::string first = A1Text(r0, c0), last = A1Text(r1, c1);
  return first == last ? first : first + ":" + last;
}

std::string MergeCellsXml(const Sheet& sheet, const std::string& prefix) {
  std::string out =
      '<' + prefix + "mergeCells count=\"" + std::to_string(sheet.merges.size()) + "\">";
  for (const MergedRange& m : sheet.merges)
    out += '<' + prefix + "mergeCell ref=\"" + A1Text(m.firstRow, m.firstColumn) + ":" +
           A1Text(m.lastRow, m.lastColumn) + "\"/>";
  return out + "</" + prefix + "mergeCells>";
}

/// Attributes holding cell ranges, by element: they move when rows are inserted.
constexpr std::pair<const char*, const char*> kRangeAttributes[] = {
    {"dimension", "ref"},        {"conditionalFormatting", "sqref"},
    {"dataValidation", "sqref"}, {"hyperlink", "ref"},
    {"autoFilter", "ref"},       {"selection", "sqref"},
    {"selection", "activeCell"}, {"pane", "topLeftCell"},
    {"protectedRange", "sqref"}, {"ignoredError", "sqref"}};

/// `xml` with the range attributes of its elements moved as `rows` says and the merged
/// ranges taken from the model.
std::string MoveRanges(std::string_view xml, const RowMap& rows, const Sheet& sheet) {
  std::string out;
  std::size_t pos = 0, copied = 0;
  XmlTag tag;
  while (NextXmlTag(xml, pos, tag)) {
    if (tag.closing) continue;
    if (tag.Local() == "mergeCells") {
      std::size_t end = XmlElementEnd(xml, tag);
      if (end == std::string_view::npos) break;
      std::string prefix(tag.name.substr(0, tag.name.size() - tag.Local().size()));
      out.append(xml.substr(copied, tag.begin - copied));
      out += MergeCellsXml(sheet, prefix);
      copied = pos = end;
      continue;
    }
    std::string text(xml.substr(tag.begin, tag.end - tag.begin));
    bool changed = false;
    for (const auto& [element, attribute] : kRangeAttributes) {
      if (tag.Local() != element) continue;
      std::string value = XmlAttribute(text, attribute);
      if (value.empty()) continue;
      std::string moved = ShiftRangeList(value, rows);
      if (moved == value) continue;
      text = WithXmlAttribute(text, attribute, moved);
      changed = true;
    }
    if (!changed) continue;
    out.append(xml.substr(copied, tag.begin - copied));
    out += text;
    copied = tag.end;
  }
  out.append(xml.substr(copied));
  return out;
}

}  // namespace

bool PatchSheetXml(std::string_view xml, SheetWriteContext& ctx, const Sheet& sheet,
                   const SourceSheet& source, std::string& out, std::string& error) {
  XmlTag data;
  if (!FindXmlElement(xml, "sheetData", 0, data)) {
    error = "a worksheet part holds no cell data";
    return false;
  }
  // Cell data holds no cell data: it ends at the first end tag of its name.
  std::size_t dataEnd = data.end;
  if (!data.empty) {
    const std::string close = "</" + std::string(data.name) + ">";
    dataEnd = xml.find(close, data.end);
    if (dataEnd != std::string_view::npos) dataEnd += close.size();
  }
  if (dataEnd == std::string_view::npos) {
    error = "a worksheet part is damaged";
    return false;
  }
  std::string prefix(data.name.substr(0, data.name.size() - data.Local().size()));
  std::string_view inner =
      data.empty ? std::string_view() : xml.substr(data.end, dataEnd - data.end);
  std::string rows = SheetDataRows(ctx, sheet, prefix, ReadFileData(inner),
                                   ReadColumnStyles(xml.substr(0, data.begin)), &source);
  RowMap map(source.insertedRows);
  std::string head(xml.substr(0, data.begin)), tail(xml.substr(dataEnd));
  // The dimension names the used range, which new cells may widen.
  XmlTag dim;
  if (FindXmlElement(head, "dimension", 0, dim)) {
    std::string tag =
        WithXmlAttribute(head.substr(dim.begin, dim.end - dim.begin), "ref", UsedRange(sheet));
    head.replace(dim.begin, dim.end - dim.begin, tag);
  }
  if (map.Moved()) {
    head = MoveRanges(head, map, sheet);
    tail = MoveRanges(tail, map, sheet);
  }
  out =
      head + '<' + std::string(data.name) + '>' + rows + "</" + std::string(data.name) + '>' + tail;
  return true;
}

std::string NewSheetXml(SheetWriteContext& ctx, const Sheet& sheet) {
  std::string out = std::string("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n") +
                    "<worksheet xmlns=\"" + kSpreadsheetNs +
                    "\" xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/"
                    "relationships\"><dimension ref=\"" +
                    UsedRange(sheet) + "\"/>";
  if (!sheet.columnWidths.empty()) {
    out += "<cols>";
    for (const auto& [col, width] : sheet.columnWidths) {
      out += "<col min=\"" + std::to_string(col + 1) + "\" max=\"" + std::to_string(col + 1) +
             "\" width=\"";
      AppendNumber(out, width);
      out += "\" customWidth=\"1\"/>";
    }
    out += "</cols>";
  }
  out += "<sheetData>" + SheetDataRows(ctx, sheet, "", FileData{}, {}, nullptr) + "</sheetData>";
  if (!sheet.merges.empty()) out += MergeCellsXml(sheet, "");
  return out + "</worksheet>";
}

}  // namespace ploxen
