// content.xml of an .ods package patched table by table, row by row, cell by cell.
#include "workbook/OdsPatch.h"

#include <algorithm>
#include <charconv>
#include <set>

#include "workbook/CellAddress.h"
#include "workbook/OdsContent.h"
#include "workbook/PackageZip.h"
#include "workbook/XmlText.h"

namespace ploxen {

namespace {

/// Attributes of a cell element that say what it holds; a rewritten cell gets them anew.
constexpr std::string_view kValueAttributes[] = {
    "office:value-type",    "office:value",
    "office:boolean-value", "office:string-value",
    "office:date-value",    "office:time-value",
    "office:currency",      "calcext:value-type",
    "table:formula",        "table:number-columns-repeated"};

int Repeat(std::string_view startTag, std::string_view attribute) {
  std::string text = XmlAttribute(startTag, attribute);
  int n = 1;
  auto [p, ec] = std::from_chars(text.data(), text.data() + text.size(), n);
  return ec == std::errc() && p == text.data() + text.size() && n > 0 ? n : 1;
}

std::string_view StartTag(std::string_view element) {
  XmlTag tag;
  std::size_t pos = 0;
  NextXmlTag(element, pos, tag);
  return element.substr(0, tag.end);
}

/// `element` repeated `n` times through its repeat attribute.
std::string Repeated(std::string_view element, std::string_view attribute, int n) {
  std::string_view start = StartTag(element);
  std::string tag = n > 1 ? WithXmlAttribute(start, attribute, std::to_string(n))
                          : WithoutXmlAttribute(start, attribute);
  return tag + std::string(element.substr(start.size()));
}

/// A direct child of office:spreadsheet.
struct Child {
  std::size_t begin = 0, end = 0;
  bool sheetTable = false;  ///< a table of the book (not a cache of another file's sheet)
};

/// Rewrites the rows and cells of one table that differ from the file.
class TablePatcher {
 public:
  TablePatcher(WorkbookEngine& engine, Book& book, const Sheet& sheet,
               const std::vector<std::uint64_t>& changed, const RowMap& rows)
      : engine_(engine), book_(book), sheet_(sheet), rows_(rows) {
    for (std::uint64_t key : changed) changed_[KeyRow(key)].push_back(KeyCol(key));
  }

  std::string Run(std::string_view table);

 private:
  void EmitRows(std::string_view row, int fileRow, int count);
  void EmitInsertedBefore(int row);
  std::string NewRow(int row) const;
  std::string PatchRow(std::string_view row, int index) const;
  std::string NewCell(std::string_view original, int row, int col) const;
  int NextChangedRow(int row) const;

  WorkbookEngine& engine_;
  Book& book_;
  const Sheet& sheet_;
  const RowMap& rows_;
  std::map<int, std::vector<int>> changed_;  ///< current row -> changed columns, ascending
  std::string out_;
  int next_ = 0;  ///< the next current row to be written
};

std::string TablePatcher::Run(std::string_view table) {
  std::size_t pos = 0, copied = 0, afterRows = std::string::npos;
  XmlTag tag;
  int fileRow = 0;
  bool first = true;
  while (NextXmlTag(table, pos, tag)) {
    if (tag.closing || tag.empty || first) {
      first = false;
      continue;
    }
    std::size_t end = XmlElementEnd(table, tag);
    if (end == std::string_view::npos) break;
    if (tag.name == "table:table-row") {
      out_.append(table.substr(copied, tag.begin - copied));
      std::string_view row = table.substr(tag.begin, end - tag.begin);
      int count = Repeat(StartTag(row), "table:number-rows-repeated");
      EmitRows(row, fileRow, count);
      fileRow += count;
      copied = pos = end;
      afterRows = out_.size();
    } else if (tag.Local() == "shapes" || tag.Local() == "forms" || tag.Local() == "table-column" ||
               tag.Local() == "named-expressions" || tag.Local() == "conditional-formats") {
      pos = end;  // nothing inside moves with the cells
    }
  }
  // Inserted rows and new cells past the rows the table had.
  std::string tail;
  std::set<int> rest;
  for (int r : rows_.Inserted())
    if (r >= next_) rest.insert(r);
  for (auto it = changed_.lower_bound(next_); it != changed_.end(); ++it) rest.insert(it->first);
  for (int r : rest) {
    if (r >= kMaxRows) break;
    if (r > next_)
      tail += "<table:table-row table:number-rows-repeated=\"" + std::to_string(r - next_) +
              "\"><table:table-cell/></table:table-row>";
    tail += NewRow(r);
    next_ = r + 1;
  }
  if (afterRows == std::string::npos) {
    out_.append(table.substr(copied));
    out_.insert(out_.rfind("</"), tail);
  } else {
    out_.append(table.substr(copied));
    out_.insert(afterRows, tail);
  }
  return std::move(out_);
}

int TablePatcher::NextChangedRow(int row) const {
  auto it = changed_.lower_bound(row);
  return it == changed_.end() ? kMaxRows : it->first;
}

void TablePatcher::EmitRows(std::string_view row, int fileRow, int count) {
  const auto& inserted = rows_.Inserted();
  for (int i = 0; i < count;) {
    int current = rows_.ToCurrent(fileRow + i);
    if (current >= kMaxRows) return;  // pushed off the sheet by inserted rows
    EmitInsertedBefore(current);
    if (changed_.count(current)) {
      out_ += PatchRow(row, current);
      ++i;
      next_ = current + 1;
      continue;
    }
    auto ins = std::lower_bound(inserted.begin(), inserted.end(), current);
    int limit = std::min(NextChangedRow(current), ins == inserted.end() ? kMaxRows : *ins);
    int run = std::min(count - i, limit - current);
    out_ += Repeated(row, "table:number-rows-repeated", run);
    i += run;
    next_ = current + run;
  }
}

void TablePatcher::EmitInsertedBefore(int row) {
  for (int r : rows_.Inserted()) {
    if (r < next_ || r >= row) continue;
    out_ += NewRow(r);
    next_ = r + 1;
  }
}

std::string TablePatcher::NewRow(int row) const {
  std::string out = "<table:table-row>";
  int col = 0;
  auto it = sheet_.Cells().lower_bound(CellKey(row, 0));
  for (; it != sheet_.Cells().end() && KeyRow(it->first) == row; ++it) {
    int c = KeyCol(it->first);
    if (c > col)
      out +=
          "<table:table-cell table:number-columns-repeated=\"" + std::to_string(c - col) + "\"/>";
    out += NewCell({}, row, c);
    col = c + 1;
  }
  if (col == 0) out += "<table:table-cell/>";
  return out + "</table:table-row>";
}

std::string TablePatcher::PatchRow(std::string_view row, int index) const {
  const std::vector<int>& cols = changed_.at(index);
  std::string_view start = StartTag(row);
  std::string out = WithoutXmlAttribute(start, "table:number-rows-repeated");
  if (out.ends_with("/>")) {  // an empty row element: its cells are all new
    out.erase(out.size() - 2);
    out += ">";
  }
  std::size_t pos = start.size(), copied = start.size();
  std::size_t close = row.ends_with("/>") ? row.size() : row.rfind("</");
  XmlTag tag;
  int col = 0;
  auto next = cols.begin();
  while (pos < close && NextXmlTag(row, pos, tag) && tag.begin < close) {
    if (tag.closing) continue;
    std::size_t end = XmlElementEnd(row, tag);
    if (end == std::string_view::npos) break;
    pos = end;
    if (tag.name != "table:table-cell" && tag.name != "table:covered-table-cell") continue;
    out.append(row.substr(copied, tag.begin - copied));
    copied = end;
    std::string_view cell = row.substr(tag.begin, end - tag.begin);
    int count = Repeat(StartTag(cell), "table:number-columns-repeated");
    for (int j = 0; j < count;) {
      int c = col + j;
      while (next != cols.end() && *next < c) ++next;
      if (next != cols.end() && *next == c) {
        out += NewCell(cell, index, c);
        ++j;
        continue;
      }
      int run = std::min(count - j, (next == cols.end() ? kMaxColumns : *next) - c);
      out += Repeated(cell, "table:number-columns-repeated", run);
      j += run;
    }
    col += count;
  }
  out.append(row.substr(copied, close > copied ? close - copied : 0));
  for (; next != cols.end(); ++next) {
    if (*next < col) continue;
    if (*next > col)
      out += "<table:table-cell table:number-columns-repeated=\"" + std::to_string(*next - col) +
             "\"/>";
    out += NewCell({}, index, *next);
    col = *next + 1;
  }
  return out + "</table:table-row>";
}

std::string TablePatcher::NewCell(std::string_view original, int row, int col) const {
  std::string name = "table:table-cell", start = "<table:table-cell", kids;
  if (!original.empty()) {
    std::string_view open = StartTag(original);
    XmlTag tag;
    std::size_t pos = 0;
    NextXmlTag(original, pos, tag);
    name = std::string(tag.name);
    start = std::string(open);
    for (std::string_view attribute : kValueAttributes)
      start = WithoutXmlAttribute(start, attribute);
    start.erase(start.size() - (start.ends_with("/>") ? 2 : 1));
    // Children other than the displayed paragraphs stay: annotations, anchored frames.
    std::size_t close = tag.empty ? original.size() : original.rfind("</");
    std::size_t copied = open.size();
    while (!tag.empty && pos < close && NextXmlTag(original, pos, tag) && tag.begin < close) {
      if (tag.closing) continue;
      std::size_t end = XmlElementEnd(original, tag);
      if (end == std::string_view::npos) break;
      if (tag.name == "text:p") {
        kids.append(original.substr(copied, tag.begin - copied));
        copied = end;
      }
      pos = end;
    }
    if (!tag.empty && close > copied) kids.append(original.substr(copied, close - copied));
  }
  std::string attrs, para;
  if (const Cell* cell = sheet_.Find(row, col))
    AppendOdsCellContent(attrs, para, engine_, book_, sheet_.Id(), row, col, *cell);
  std::string out = start + attrs;
  if (kids.empty() && para.empty()) return out + "/>";
  return out + ">" + kids + para + "</" + name + ">";
}

/// The direct children of office:spreadsheet in `content`, with the range they fill.
bool ReadChildren(std::string_view content, std::vector<Child>& children, std::string& error) {
  XmlTag sheet;
  if (!FindXmlElement(content, "spreadsheet", 0, sheet) || sheet.empty) {
    error = "content.xml holds no spreadsheet";
    return false;
  }
  // Child by child to the spreadsheet's end tag (one pass over the content, not two).
  std::size_t pos = sheet.end;
  XmlTag tag;
  bool closed = false;
  while (NextXmlTag(content, pos, tag)) {
    if (tag.closing) {
      closed = true;
      break;
    }
    Child child{tag.begin, XmlElementEnd(content, tag), false};
    if (child.end == std::string_view::npos) {
      error = "content.xml is damaged";
      return false;
    }
    if (tag.name == "table:table") {
      std::string name = XmlAttribute(content.substr(tag.begin, tag.end - tag.begin), "table:name");
      // Hidden caches of other files' sheets are named "'file:///path/Other.ods'#Sheet".
      child.sheetTable =
          !(name.size() > 3 && name[0] == '\'' && name.find("'#") != std::string::npos);
    }
    children.push_back(child);
    pos = child.end;
  }
  if (!closed) {
    error = "content.xml is damaged";
    return false;
  }
  return true;
}

}  // namespace

bool PatchOds(WorkbookEngine& engine, Book& book, const SourcePackage& source, std::string& out,
              std::string& error) {
  ZipPackage package;
  std::string content;
  if (!package.Open(source.bytes, error)) return false;
  if (!package.Read("content.xml", content)) {
    error = "the package lacks content.xml";
    return false;
  }
  std::vector<Child> children;
  if (!ReadChildren(content, children, error)) return false;
  std::vector<const Child*> tables;
  for (const Child& c : children)
    if (c.sheetTable) tables.push_back(&c);
  if (static_cast<int>(tables.size()) != source.fileSheetCount) {
    error = "the tables of content.xml do not match the sheets read from it";
    return false;
  }
  bool changed = book.SheetCount() != source.fileSheetCount;
  std::vector<std::string> written;  // book order
  int lastPosition = -1;
  for (int i = 0; i < book.SheetCount(); ++i) {
    Sheet& sheet = book.SheetAt(i);
    auto src = source.sheets.find(sheet.Id());
    if (src == source.sheets.end()) {
      written.push_back(OdsTableXml(engine, book, sheet));
      changed = true;
      continue;
    }
    const SourceSheet& s = src->second;
    const Child& t = *tables[s.position];
    std::string_view table = std::string_view(content).substr(t.begin, t.end - t.begin);
    std::vector<std::uint64_t> cells = ChangedCells(sheet, s);
    std::string text(table);
    if (!cells.empty() || !s.insertedRows.empty()) {
      RowMap rows(s.insertedRows);
      text = TablePatcher(engine, book, sheet, cells, rows).Run(table);
      changed = true;
    }
    if (s.name != sheet.Name()) {
      std::string_view open = StartTag(text);
      text = WithXmlAttribute(open, "table:name", sheet.Name()) + text.substr(open.size());
      changed = true;
    }
    changed = changed || s.position < lastPosition;
    lastPosition = s.position;
    written.push_back(std::move(text));
  }
  if (!changed) {
    out = source.bytes;
    return true;
  }
  // The book's tables take the place of the file's, in the book's order; every other child
  // (caches of linked files, named ranges, database ranges, ...) stays where it was.
  std::string patched = content.substr(0, children.empty() ? 0 : children.front().begin);
  bool tablesDone = false;
  std::size_t copied = patched.size();
  for (const Child& c : children) {
    patched.append(content, copied, c.begin - copied);
    copied = c.end;
    if (!c.sheetTable) {
      patched.append(content, c.begin, c.end - c.begin);
    } else if (!tablesDone) {
      for (const std::string& t : written) patched += t;
      tablesDone = true;
    }
  }
  patched.append(content, copied, std::string::npos);
  PackageEdits edits;
  edits.put["content.xml"] = std::move(patched);
  edits.level = 1;  // as the writer of new .ods books packs its content
  return EditPackage(source.bytes, edits, out, error);
}

std::string OdsInsertProblem(const Book& book, const Sheet& sheet, int row) {
  if (!book.source) return {};
  auto src = book.source->sheets.find(sheet.Id());
  if (src == book.source->sheets.end()) return {};
  for (const MergedRange& m : sheet.merges)
    if (m.firstRow < row && row <= m.lastRow)
      return "rows cannot be inserted into " + sheet.Name() +
             " without misplacing its merged cells";
  ZipPackage package;
  std::string error, content;
  if (!package.Open(book.source->bytes, error)) return error;
  package.Read("content.xml", content);
  // Places that name cells by address in other elements than the cells themselves.
  static const std::pair<const char*, const char*> kAddressed[] = {
      {"conditional-format", "its conditional formats"},
      {"content-validation", "its validations"},
      {"named-range", "its named ranges"},
      {"named-expression", "its named ranges"},
      {"database-range", "its database ranges"}};
  const std::string& name = src->second.name;
  for (const auto& [element, what] : kAddressed) {
    std::size_t pos = 0;
    XmlTag tag;
    while (FindXmlElement(content, element, pos, tag)) {
      pos = tag.end;
      std::string_view text = std::string_view(content).substr(tag.begin, tag.end - tag.begin);
      if (text.find(name) != std::string_view::npos)
        return "rows cannot be inserted into " + sheet.Name() + " without misplacing " + what;
    }
  }
  for (const std::string& part : package.Parts()) {
    if (!part.ends_with("/content.xml") || part == "content.xml") continue;
    std::string chart;
    package.Read(part, chart);
    if (chart.find(name + ".") != std::string::npos)
      return "rows cannot be inserted into " + sheet.Name() + " without misplacing chart ranges";
  }
  return {};
}

}  // namespace ploxen
