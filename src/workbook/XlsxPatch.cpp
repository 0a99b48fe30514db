// The package-level edits of an .xlsx save: changed worksheets, the sheet list, shared
// strings, relationships, content types and the calculation chain.
#include "workbook/XlsxPatch.h"

#include <algorithm>
#include <charconv>
#include <optional>
#include <set>

#include "workbook/CellAddress.h"
#include "workbook/PackageZip.h"
#include "workbook/XlsxAnchors.h"
#include "workbook/XlsxReferences.h"
#include "workbook/XlsxSheetPatch.h"
#include "workbook/XmlText.h"

namespace ploxen {

namespace {

constexpr const char* kRelNs =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
constexpr const char* kWorksheetType =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet";
constexpr const char* kWorksheetContent =
    "application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml";

/// One relationship of a .rels part, with the byte range of its element.
struct Rel {
  std::string id, type, target;
  std::size_t begin = 0, end = 0;
};

/// One <sheet> of the workbook part.
struct SheetEntry {
  std::string tag;   ///< the element as the file has it
  std::string rid;   ///< its relationship id
  std::string part;  ///< the worksheet part
};

std::vector<Rel> ReadRels(std::string_view xml) {
  std::vector<Rel> rels;
  std::size_t pos = 0;
  XmlTag tag;
  while (FindXmlElement(xml, "Relationship", pos, tag)) {
    std::string_view text = xml.substr(tag.begin, tag.end - tag.begin);
    Rel rel{XmlAttribute(text, "Id"), XmlAttribute(text, "Type"), XmlAttribute(text, "Target"),
            tag.begin, XmlElementEnd(xml, tag)};
    if (rel.end == std::string_view::npos) break;
    pos = rel.end;
    rels.push_back(std::move(rel));
  }
  return rels;
}

/// The part a relationship of a part in folder `folder` ("xl/") points to.
std::string PartOf(std::string_view target, std::string folder) {
  if (target.starts_with("/")) return std::string(target.substr(1));
  while (target.starts_with("../")) {
    target.remove_prefix(3);
    if (!folder.empty()) folder.pop_back();
    folder.erase(folder.rfind('/') == std::string::npos ? 0 : folder.rfind('/') + 1);
  }
  return folder + std::string(target);
}

/// The prefix the workbook part gives the relationships namespace ("r").
std::string RelPrefix(std::string_view workbook) {
  XmlTag root;
  std::size_t pos = 0;
  if (!NextXmlTag(workbook, pos, root)) return "r";
  for (const auto& [name, value] :
       XmlAttributes(workbook.substr(root.begin, root.end - root.begin)))
    if (name.starts_with("xmlns:") && value == kRelNs) return std::string(name.substr(6));
  return "r";
}

/// Removes the element spans [begin, end) from `xml`, last first.
void RemoveSpans(std::string& xml, std::vector<std::pair<std::size_t, std::size_t>> spans) {
  std::sort(spans.rbegin(), spans.rend());
  for (const auto& [b, e] : spans) xml.erase(b, e - b);
}

/// Removes the content-type override of part `part`.
void RemoveOverride(std::string& types, const std::string& part) {
  std::size_t pos = 0;
  XmlTag tag;
  while (FindXmlElement(types, "Override", pos, tag)) {
    pos = tag.end;
    if (XmlAttribute(types.substr(tag.begin, tag.end - tag.begin), "PartName") != "/" + part)
      continue;
    std::size_t end = XmlElementEnd(types, tag);
    types.erase(tag.begin, end - tag.begin);
    return;
  }
}

void InsertBeforeClose(std::string& xml, std::string_view closing, const std::string& text) {
  std::size_t at = xml.rfind(closing);
  if (at != std::string::npos) xml.insert(at, text);
}

/// The package edits being collected, and the parts they touch.
struct PackageState {
  ZipPackage package;
  std::string workbook, rels, types;
  std::vector<Rel> relList;
  std::vector<SheetEntry> sheets;
  bool workbookChanged = false, relsChanged = false, typesChanged = false;
  PackageEdits edits;
};

bool ReadPackage(PackageState& p, const SourcePackage& source, std::string& error) {
  if (!p.package.Open(source.bytes, error)) return false;
  if (!p.package.Read("xl/workbook.xml", p.workbook) ||
      !p.package.Read("xl/_rels/workbook.xml.rels", p.rels) ||
      !p.package.Read("[Content_Types].xml", p.types)) {
    error = "the package lacks its workbook part, relationships or content types";
    return false;
  }
  p.relList = ReadRels(p.rels);
  std::size_t pos = 0;
  XmlTag sheets, tag;
  if (!FindXmlElement(p.workbook, "sheets", 0, sheets)) {
    error = "the workbook part lists no sheets";
    return false;
  }
  std::size_t sheetsEnd = XmlElementEnd(p.workbook, sheets);
  pos = sheets.end;
  while (pos < sheetsEnd && FindXmlElement(p.workbook, "sheet", pos, tag) && tag.end <= sheetsEnd) {
    pos = tag.end;
    SheetEntry e;
    e.tag = p.workbook.substr(tag.begin, XmlElementEnd(p.workbook, tag) - tag.begin);
    e.rid = XmlAttribute(e.tag, RelPrefix(p.workbook) + ":id");
    for (const Rel& rel : p.relList)
      if (rel.id == e.rid) e.part = PartOf(rel.target, "xl/");
    if (e.part.empty() || !p.package.Has(e.part)) {
      error = "the workbook part names a sheet whose part is missing";
      return false;
    }
    p.sheets.push_back(std::move(e));
  }
  if (static_cast<int>(p.sheets.size()) != source.fileSheetCount) {
    error = "the sheet list of the file does not match the sheets read from it";
    return false;
  }
  return true;
}

/// A relationship id and a part name that the package does not use yet.
std::string FreeRelId(const PackageState& p, int& n) {
  while (true) {
    std::string id = "rIdPlx" + std::to_string(++n);
    bool taken = false;
    for (const Rel& rel : p.relList) taken = taken || rel.id == id;
    if (!taken) return id;
  }
}
std::string FreeSheetPart(const PackageState& p, int& n) {
  while (true) {
    std::string part = "xl/worksheets/sheet" + std::to_string(++n) + ".xml";
    if (!p.package.Has(part) && !p.edits.put.count(part)) return part;
  }
}

/// Drops the calculation chain: the cells it lists may have changed.
void DropCalcChain(PackageState& p) {
  std::vector<std::pair<std::size_t, std::size_t>> spans;
  for (const Rel& rel : p.relList) {
    if (!rel.type.ends_with("/calcChain")) continue;
    std::string part = PartOf(rel.target, "xl/");
    p.edits.remove.insert(part);
    RemoveOverride(p.types, part);
    spans.emplace_back(rel.begin, rel.end);
  }
  if (spans.empty()) return;
  RemoveSpans(p.rels, spans);
  p.relsChanged = p.typesChanged = true;
}

/// The <sheets> list for the book's sheets in their order; deleted sheets lose their parts,
/// sheet-local names follow their sheet.
void RewriteSheetList(PackageState& p, Book& book, const SourcePackage& source,
                      const std::map<SheetId, std::string>& newParts) {
  const std::string prefix = RelPrefix(p.workbook);
  int maxId = 0;
  for (const SheetEntry& e : p.sheets)
    maxId = std::max(maxId, std::atoi(XmlAttribute(e.tag, "sheetId").c_str()));
  std::vector<int> newPosition(p.sheets.size(), -1);  // file position -> book position
  std::string list;
  int relNumber = 0;
  for (int i = 0; i < book.SheetCount(); ++i) {
    const Sheet& sheet = book.SheetAt(i);
    auto src = source.sheets.find(sheet.Id());
    if (src != source.sheets.end()) {
      newPosition[src->second.position] = i;
      list += WithXmlAttribute(p.sheets[src->second.position].tag, "name", sheet.Name());
      continue;
    }
    std::string id = FreeRelId(p, relNumber);
    const std::string& part = newParts.at(sheet.Id());
    std::string tag = "<sheet name=\"";
    AppendXmlEscaped(tag, sheet.Name());
    list +=
        tag + "\" sheetId=\"" + std::to_string(++maxId) + "\" " + prefix + ":id=\"" + id + "\"/>";
    InsertBeforeClose(p.rels, "</Relationships>",
                      "<Relationship Id=\"" + id + "\" Type=\"" + kWorksheetType + "\" Target=\"" +
                          part.substr(3) + "\"/>");
    InsertBeforeClose(
        p.types, "</Types>",
        "<Override PartName=\"/" + part + "\" ContentType=\"" + kWorksheetContent + "\"/>");
    p.relList.push_back({id, kWorksheetType, part.substr(3), 0, 0});
  }
  // Sheets the book no longer has: their relationship, part and content type go.
  std::vector<std::pair<std::size_t, std::size_t>> spans;
  for (std::size_t f = 0; f < p.sheets.size(); ++f) {
    if (newPosition[f] >= 0) continue;
    for (const Rel& rel : ReadRels(p.rels))
      if (rel.id == p.sheets[f].rid) spans.emplace_back(rel.begin, rel.end);
    p.edits.remove.insert(p.sheets[f].part);
    std::size_t slash = p.sheets[f].part.rfind('/');
    p.edits.remove.insert(p.sheets[f].part.substr(0, slash) + "/_rels" +
                          p.sheets[f].part.substr(slash) + ".rels");
    RemoveOverride(p.types, p.sheets[f].part);
  }
  RemoveSpans(p.rels, spans);
  XmlTag sheets;
  FindXmlElement(p.workbook, "sheets", 0, sheets);
  std::size_t end = XmlElementEnd(p.workbook, sheets);
  std::string open(sheets.name);
  p.workbook.replace(sheets.begin, end - sheets.begin, "<" + open + ">" + list + "</" + open + ">");
  // Names local to a sheet carry its position; names of deleted sheets go with them.
  std::size_t pos = 0;
  XmlTag tag;
  spans.clear();
  std::vector<std::pair<std::size_t, std::string>> retag;
  while (FindXmlElement(p.workbook, "definedName", pos, tag)) {
    pos = tag.end;
    std::string text = p.workbook.substr(tag.begin, tag.end - tag.begin);
    std::string local = XmlAttribute(text, "localSheetId");
    if (local.empty()) continue;
    int f = std::atoi(local.c_str());
    if (f < 0 || f >= static_cast<int>(newPosition.size()) || newPosition[f] < 0) {
      spans.emplace_back(tag.begin, XmlElementEnd(p.workbook, tag));
    } else if (newPosition[f] != f) {
      p.workbook.replace(tag.begin, tag.end - tag.begin,
                         WithXmlAttribute(text, "localSheetId", std::to_string(newPosition[f])));
      pos = tag.begin + 1;
    }
  }
  RemoveSpans(p.workbook, spans);
  p.workbookChanged = p.relsChanged = p.typesChanged = true;
}

/// The format's limit on the text of one cell.
constexpr std::size_t kMaxCellText = 32767;

bool CellTextsFit(const Book& book, std::string& error) {
  for (int i = 0; i < book.SheetCount(); ++i)
    for (const auto& [key, cell] : book.SheetAt(i).Cells())
      if (cell.value.kind == ValueKind::kText && cell.value.text.size() > kMaxCellText) {
        error = "cell " + A1Text(KeyRow(key), KeyCol(key)) + " of " + book.SheetAt(i).Name() +
                " holds more than the 32767 characters a cell of this format can hold";
        return false;
      }
  return true;
}

/// The drawing part of worksheet part `part` (charts, pictures and shapes on the sheet); empty
/// when the sheet has none.
std::string DrawingPartOf(const PackageState& p, const std::string& part) {
  std::size_t slash = part.rfind('/') + 1;
  std::string rels;
  if (!p.package.Read(part.substr(0, slash) + "_rels/" + part.substr(slash) + ".rels", rels))
    return {};
  for (const Rel& rel : ReadRels(rels))
    if (rel.type.ends_with("/drawing")) return PartOf(rel.target, part.substr(0, slash));
  return {};
}

/// Moves the anchors of the drawing of a sheet into which rows were inserted.
bool MoveAnchors(PackageState& p, const std::string& part, const SourceSheet& s,
                 std::string& error) {
  std::string drawing = DrawingPartOf(p, part), xml;
  if (drawing.empty()) return true;
  if (!p.package.Read(drawing, xml)) {
    error = "the drawing part " + drawing + " cannot be read";
    return false;
  }
  std::optional<std::string> moved = MoveDrawingAnchors(xml, RowMap(s.insertedRows));
  if (!moved) {
    error = "the drawing " + drawing + " cannot be moved with the inserted rows";
    return false;
  }
  if (*moved != xml) p.edits.put[drawing] = std::move(*moved);
  return true;
}

bool IsChartPart(const std::string& part) {
  return part.starts_with("xl/charts/") && part.ends_with(".xml") &&
         part.find("/_rels/") == std::string::npos;
}

/// Defined names and chart formulas moved with the rows inserted into, and the names given to,
/// the file's sheets.
bool MoveOuterReferences(PackageState& p, const Book& book, const SourcePackage& source,
                         std::string& error) {
  std::map<SheetId, RowMap> rowMaps;
  SheetMoves moves;
  for (int i = 0; i < book.SheetCount(); ++i) {
    const Sheet& sheet = book.SheetAt(i);
    auto src = source.sheets.find(sheet.Id());
    if (src == source.sheets.end()) continue;
    if (src->second.insertedRows.empty() && src->second.name == sheet.Name()) continue;
    const RowMap& rows =
        rowMaps.emplace(sheet.Id(), RowMap(src->second.insertedRows)).first->second;
    moves[src->second.name] = SheetMove{sheet.Name(), &rows};
  }
  if (moves.empty()) return true;
  bool changed = false;
  std::optional<std::string> workbook =
      MoveElementReferences(p.workbook, "definedName", moves, changed);
  if (!workbook) {
    error = "the named ranges cannot be moved with the inserted rows";
    return false;
  }
  if (changed) {
    p.workbook = std::move(*workbook);
    p.workbookChanged = true;
  }
  for (const std::string& part : p.package.Parts()) {
    if (!IsChartPart(part)) continue;
    std::string chart;
    if (!p.package.Read(part, chart)) {
      error = "the chart part " + part + " cannot be read";
      return false;
    }
    std::optional<std::string> moved = MoveElementReferences(chart, "f", moves, changed);
    if (!moved) {
      error = "the ranges of the chart " + part + " cannot be moved with the inserted rows";
      return false;
    }
    if (changed) p.edits.put[part] = std::move(*moved);
  }
  return true;
}

}  // namespace

bool PatchXlsx(WorkbookEngine& engine, Book& book, const SourcePackage& source, std::string& out,
               std::string& error) {
  if (!CellTextsFit(book, error)) return false;
  PackageState p;
  if (!ReadPackage(p, source, error)) return false;
  std::string stringsPart, stringsXml;
  for (const Rel& rel : p.relList)
    if (rel.type.ends_with("/sharedStrings")) stringsPart = PartOf(rel.target, "xl/");
  if (!stringsPart.empty()) p.package.Read(stringsPart, stringsXml);
  SharedStrings strings(std::move(stringsXml));
  SheetWriteContext ctx{engine, book, strings};

  bool structure = book.SheetCount() != source.fileSheetCount;
  std::map<SheetId, std::string> newParts;
  int partNumber = 0, lastPosition = -1;
  for (int i = 0; i < book.SheetCount(); ++i) {
    const Sheet& sheet = book.SheetAt(i);
    auto src = source.sheets.find(sheet.Id());
    if (src == source.sheets.end()) {
      std::string part = FreeSheetPart(p, partNumber);
      p.edits.put[part] = NewSheetXml(ctx, sheet);
      newParts[sheet.Id()] = part;
      structure = true;
      continue;
    }
    const SourceSheet& s = src->second;
    structure = structure || s.name != sheet.Name() || s.position < lastPosition;
    lastPosition = s.position;
    if (s.insertedRows.empty() && ChangedCells(sheet, s).empty()) continue;
    const std::string& part = p.sheets[s.position].part;
    std::string xml, patched;
    if (!p.package.Read(part, xml)) {
      error = "the worksheet part " + part + " cannot be read";
      return false;
    }
    if (!PatchSheetXml(xml, ctx, sheet, s, patched, error)) return false;
    p.edits.put[part] = std::move(patched);
    if (!s.insertedRows.empty() && !MoveAnchors(p, part, s, error)) return false;
  }
  if (p.edits.Empty() && !structure) {
    out = source.bytes;  // nothing changed: the file as it was
    return true;
  }
  if (!MoveOuterReferences(p, book, source, error)) return false;
  DropCalcChain(p);
  if (structure) RewriteSheetList(p, book, source, newParts);
  if (strings.Grew()) {
    if (stringsPart.empty()) {
      stringsPart = "xl/sharedStrings.xml";
      int n = 0;
      InsertBeforeClose(p.rels, "</Relationships>",
                        "<Relationship Id=\"" + FreeRelId(p, n) +
                            "\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/"
                            "relationships/sharedStrings\" Target=\"sharedStrings.xml\"/>");
      InsertBeforeClose(p.types, "</Types>",
                        "<Override PartName=\"/xl/sharedStrings.xml\" ContentType=\"application/"
                        "vnd.openxmlformats-officedocument.spreadsheetml.sharedStrings+xml\"/>");
      p.relsChanged = p.typesChanged = true;
    }
    p.edits.put[stringsPart] = strings.Xml();
  }
  if (p.workbookChanged) p.edits.put["xl/workbook.xml"] = p.workbook;
  if (p.relsChanged) p.edits.put["xl/_rels/workbook.xml.rels"] = p.rels;
  if (p.typesChanged) p.edits.put["[Content_Types].xml"] = p.types;
  return EditPackage(source.bytes, p.edits, out, error);
}

namespace {

/// One side of a range: "B3", "$B$3", "B", "3" with their row read; false when it is none.
bool ShiftRangeEnd(std::string_view text, const RowMap& rows, std::string& out) {
  std::size_t i = 0;
  if (i < text.size() && text[i] == '$') ++i;
  while (i < text.size() &&
         ((text[i] >= 'A' && text[i] <= 'Z') || (text[i] >= 'a' && text[i] <= 'z')))
    ++i;
  std::size_t rowStart = i;
  if (i < text.size() && text[i] == '$') ++i;
  std::string_view digits = text.substr(i);
  if (digits.empty()) {  // a whole column
    out += text;
    return rowStart > 0;
  }
  int row = 0;
  auto [p, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), row);
  if (ec != std::errc() || p != digits.data() + digits.size() || row < 1) return false;
  out += text.substr(0, i);
  out += std::to_string(std::min(rows.ToCurrent(row - 1), kMaxRows - 1) + 1);
  return true;
}

}  // namespace

std::string ShiftRangeList(std::string_view ranges, const RowMap& rows) {
  std::string out;
  std::size_t pos = 0;
  while (pos <= ranges.size()) {
    std::size_t space = ranges.find(' ', pos);
    std::string_view item =
        ranges.substr(pos, space == std::string_view::npos ? space : space - pos);
    if (!item.empty()) {
      if (!out.empty()) out += ' ';
      std::size_t colon = item.find(':');
      std::string moved;
      bool ok = ShiftRangeEnd(item.substr(0, colon), rows, moved);
      if (ok && colon != std::string_view::npos) {
        moved += ':';
        ok = ShiftRangeEnd(item.substr(colon + 1), rows, moved);
      }
      out += ok ? moved : std::string(item);
    }
    if (space == std::string_view::npos) break;
    pos = space + 1;
  }
  return out;
}

std::string XlsxInsertProblem(const Book& book, const Sheet& sheet) {
  if (!book.source) return {};
  const SourcePackage& source = *book.source;
  auto src = source.sheets.find(sheet.Id());
  if (src == source.sheets.end()) return {};
  PackageState p;
  std::string error;
  if (!ReadPackage(p, source, error)) return error;
  const SheetEntry& entry = p.sheets[src->second.position];
  std::string xml;
  p.package.Read(entry.part, xml);
  static const std::pair<const char*, const char*> kFixed[] = {
      {"legacyDrawing", "its comments"},
      {"tableParts", "its tables"},
      {"oleObjects", "its embedded objects"},
      {"controls", "its form controls"},
      {"formula", "the references in its rules"},
      {"formula1", "the references in its validations"},
      {"sqref", "the ranges of its extended rules and validations"}};
  for (const auto& [element, what] : kFixed) {
    XmlTag tag;
    if (!FindXmlElement(xml, element, 0, tag)) continue;
    if (std::string_view(element).starts_with("formula")) {
      // Rules and validations with constants only ("100", "\"a,b\"") move with their ranges.
      bool references = false;
      std::size_t pos = 0;
      while (!references && FindXmlElement(xml, element, pos, tag)) {
        std::size_t end = xml.find('<', tag.end);
        std::string text = xml.substr(tag.end, end - tag.end);
        bool inString = false;
        for (std::size_t i = 0; i + 1 < text.size() && !references; ++i) {
          if (text[i] == '"') inString = !inString;
          bool letter = (text[i] >= 'A' && text[i] <= 'Z') || (text[i] >= 'a' && text[i] <= 'z') ||
                        text[i] == '$';
          references = !inString && letter && text[i + 1] >= '0' && text[i + 1] <= '9';
        }
        pos = tag.end;
      }
      if (!references) continue;
    }
    return std::string("rows cannot be inserted into ") + sheet.Name() + " without misplacing " +
           what;
  }
  // Charts, pictures and shapes move with their anchors, when every anchor can be read.
  XmlTag drawing;
  if (FindXmlElement(xml, "drawing", 0, drawing)) {
    std::string part = DrawingPartOf(p, entry.part), anchors;
    if (part.empty() || !p.package.Read(part, anchors) || !MoveDrawingAnchors(anchors, RowMap({0})))
      return "rows cannot be inserted into " + sheet.Name() +
             " without misplacing its drawings, images or charts";
  }
  // Names and charts that point into the sheet move with its rows, unless one of them holds a
  // reference that cannot be moved safely.
  const RowMap inserted({0});
  const SheetMoves moves{{src->second.name, SheetMove{src->second.name, &inserted}}};
  bool changed = false;
  if (!MoveElementReferences(p.workbook, "definedName", moves, changed))
    return "rows cannot be inserted into " + sheet.Name() + " without misplacing its named ranges";
  for (const std::string& part : p.package.Parts()) {
    if (!IsChartPart(part)) continue;
    std::string chart;
    p.package.Read(part, chart);
    if (!MoveElementReferences(chart, "f", moves, changed))
      return "rows cannot be inserted into " + sheet.Name() + " without misplacing chart ranges";
  }
  return {};
}

}  // namespace ploxen
