// Post-processing of a written .xlsx package with libzip for external links.
#include "workbook/XlsxLinks.h"

#include <zip.h>

#include <algorithm>
#include <charconv>
#include <map>
#include <vector>

#include "workbook/CellAddress.h"
#include "workbook/FormulaTree.h"
#include "workbook/XmlText.h"

namespace ploxen {

namespace {

bool ReadEntry(zip_t* za, const char* name, std::string& out) {
  zip_stat_t st;
  if (zip_stat(za, name, 0, &st) != 0 || !(st.valid & ZIP_STAT_SIZE)) return false;
  zip_file_t* f = zip_fopen(za, name, 0);
  if (!f) return false;
  out.resize(st.size);
  bool ok = zip_fread(f, out.data(), st.size) == static_cast<zip_int64_t>(st.size);
  zip_fclose(f);
  return ok;
}

/// Replaces or adds an entry; `data` must live until the archive is closed.
bool PutEntry(zip_t* za, const std::string& name, const std::string& data) {
  zip_source_t* src = zip_source_buffer(za, data.data(), data.size(), 0);
  if (!src) return false;
  if (zip_file_add(za, name.c_str(), src, ZIP_FL_OVERWRITE | ZIP_FL_ENC_UTF_8) < 0) {
    zip_source_free(src);
    return false;
  }
  return true;
}

std::string NumberXml(double v) {
  char buf[32];
  auto res = std::to_chars(buf, buf + sizeof buf, v);
  return std::string(buf, res.ptr);
}

/// The externalLinkN.xml part of one linked book.
std::string LinkPart(const ExternalBook& link) {
  std::string out =
      "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
      "<externalLink xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
      "<externalBook "
      "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\" "
      "r:id=\"rId1\"><sheetNames>";
  for (const auto& [name, cells] : link.sheets) {
    out += "<sheetName val=\"";
    AppendXmlEscaped(out, name);
    out += "\"/>";
  }
  out += "</sheetNames><sheetDataSet>";
  int id = 0;
  for (const auto& [name, cells] : link.sheets) {
    out += "<sheetData sheetId=\"" + std::to_string(id++) + "\">";
    int row = -1;
    for (const auto& [pos, value] : cells) {
      if (pos.first != row) {
        if (row >= 0) out += "</row>";
        row = pos.first;
        out += "<row r=\"" + std::to_string(row + 1) + "\">";
      }
      out += "<cell r=\"" + A1Text(pos.first, pos.second) + "\"";
      if (value.isNumber) {
        out += "><v>" + NumberXml(value.number) + "</v></cell>";
      } else {
        out += " t=\"str\"><v>";
        AppendXmlEscaped(out, value.text);
        out += "</v></cell>";
      }
    }
    if (row >= 0) out += "</row>";
    out += "</sheetData>";
  }
  out += "</sheetDataSet></externalBook></externalLink>";
  return out;
}

std::string LinkRels(const ExternalBook& link) {
  std::string out =
      "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
      "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
      "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/"
      "relationships/externalLinkPath\" Target=\"";
  AppendXmlEscaped(out, link.target.empty() ? link.fileName : link.target);
  out += "\" TargetMode=\"External\"/></Relationships>";
  return out;
}

/// "[Other.xlsx]" -> "[n]" inside the formulas (<f> elements) of a sheet part.
void NumberLinksInFormulas(std::string& xml, const std::vector<std::string>& names) {
  std::string out;
  out.reserve(xml.size());
  std::size_t pos = 0;
  while (true) {
    std::size_t open = xml.find("<f", pos);
    if (open == std::string::npos) break;
    std::size_t body = xml.find('>', open);
    std::size_t close = body == std::string::npos ? std::string::npos : xml.find("</f>", body);
    if (close == std::string::npos) break;
    out.append(xml, pos, body + 1 - pos);
    std::string formula = xml.substr(body + 1, close - body - 1);
    for (std::size_t i = 0; i < names.size(); ++i) {
      std::string from = "[";
      from += names[i];
      from += ']';
      std::string to = "[";
      to += std::to_string(i + 1);
      to += ']';
      for (std::size_t at = formula.find(from); at != std::string::npos;
           at = formula.find(from, at + to.size()))
        formula.replace(at, from.size(), to);
    }
    out += formula;
    pos = close;
  }
  out.append(xml, pos, std::string::npos);
  xml = std::move(out);
}

/// Ranges larger than this are cached by sheet name only (a whole-column reference would
/// otherwise enter a million empty cells).
constexpr long long kMaxCachedRange = 65536;

/// Enters the cells of another book that one formula reads into that link's cache, so that
/// the written link part names their sheets and carries their values. Cells already cached
/// (from the file the book came from) keep their values.
void AddLinkedCells(const FormulaNode& root, std::vector<ExternalBook>& links) {
  std::vector<const FormulaNode*> stack{&root};
  while (!stack.empty()) {
    const FormulaNode& node = *stack.back();
    stack.pop_back();
    for (const auto& arg : node.args) stack.push_back(arg.get());
    const bool ref = node.kind == NodeKind::kRef || node.kind == NodeKind::kRange;
    const int link = node.target.link;
    if (!ref || link < 0 || link >= static_cast<int>(links.size()) || node.target.extSheet.empty())
      continue;
    auto& cells = links[link].sheets[node.target.extSheet];
    if (node.kind == NodeKind::kRange && node.form != RangeForm::kCells) continue;
    const bool range = node.kind == NodeKind::kRange;
    const int r0 = std::min(node.a.row, range ? node.b.row : node.a.row);
    const int r1 = std::max(node.a.row, range ? node.b.row : node.a.row);
    const int c0 = std::min(node.a.col, range ? node.b.col : node.a.col);
    const int c1 = std::max(node.a.col, range ? node.b.col : node.a.col);
    if (static_cast<long long>(r1 - r0 + 1) * (c1 - c0 + 1) > kMaxCachedRange) continue;
    for (int r = r0; r <= r1; ++r) {
      for (int c = c0; c <= c1; ++c) cells.try_emplace({r, c});
    }
  }
}

/// The cells every formula of `book` reads in other books, entered in the link caches.
void CollectLinkedCells(Book& book) {
  for (int s = 0; s < book.SheetCount(); ++s) {
    for (const auto& [key, cell] : book.SheetAt(s).Cells()) {
      if (cell.formula && cell.formula->tree)
        AddLinkedCells(*cell.formula->tree, book.externalLinks);
    }
  }
}

/// Values of cached cells of links whose books are open, taken from those books.
void RefreshFromOpenBooks(WorkbookEngine& engine, Book& book) {
  for (ExternalBook& link : book.externalLinks) {
    Book* open = engine.FindBookByName(link.fileName);
    if (!open || open == &book) continue;
    for (auto& [sheetName, cells] : link.sheets) {
      int index = open->FindSheet(sheetName);
      if (index < 0) continue;
      SheetId id = open->SheetAt(index).Id();
      for (auto& [pos, cached] : cells) {
        CellValue v = engine.Value(id, pos.first, pos.second);
        cached.isNumber = v.kind == ValueKind::kNumber || v.kind == ValueKind::kBoolean ||
                          v.kind == ValueKind::kEmpty;
        cached.number = v.number;
        cached.text = cached.isNumber ? std::string() : ValueText(v);
      }
    }
  }
}

}  // namespace

bool AddXlsxExternalLinks(WorkbookEngine& engine, Book& book, const std::string& path,
                          std::string& error) {
  if (book.externalLinks.empty()) return true;
  CollectLinkedCells(book);
  RefreshFromOpenBooks(engine, book);
  int zerr = 0;
  zip_t* za = zip_open(path.c_str(), 0, &zerr);
  if (!za) {
    error = "the written file cannot be reopened for its links";
    return false;
  }
  std::vector<std::string> names;
  for (const ExternalBook& link : book.externalLinks) names.push_back(link.fileName);
  std::string workbook, rels, types;
  bool ok = ReadEntry(za, "xl/workbook.xml", workbook) &&
            ReadEntry(za, "xl/_rels/workbook.xml.rels", rels) &&
            ReadEntry(za, "[Content_Types].xml", types);
  std::vector<std::string> keep;  // buffers that must outlive zip_close
  keep.reserve(4 * book.externalLinks.size() + book.SheetCount() + 3);
  std::string references = "<externalReferences>";
  for (std::size_t i = 0; ok && i < book.externalLinks.size(); ++i) {
    std::string n = std::to_string(i + 1);
    std::string id = "rIdLink" + n;
    keep.push_back(LinkPart(book.externalLinks[i]));
    ok = PutEntry(za, "xl/externalLinks/externalLink" + n + ".xml", keep.back());
    keep.push_back(LinkRels(book.externalLinks[i]));
    ok = ok && PutEntry(za, "xl/externalLinks/_rels/externalLink" + n + ".xml.rels", keep.back());
    references += "<externalReference r:id=\"" + id + "\"/>";
    rels.insert(rels.rfind("</Relationships>"),
                "<Relationship Id=\"" + id +
                    "\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/"
                    "externalLink\" Target=\"externalLinks/externalLink" +
                    n + ".xml\"/>");
    types.insert(types.rfind("</Types>"),
                 "<Override PartName=\"/xl/externalLinks/externalLink" + n +
                     ".xml\" ContentType=\"application/vnd.openxmlformats-officedocument."
                     "spreadsheetml.externalLink+xml\"/>");
  }
  references += "</externalReferences>";
  std::size_t sheetsEnd = workbook.find("</sheets>");
  ok = ok && sheetsEnd != std::string::npos;
  if (ok) workbook.insert(sheetsEnd + 9, references);
  for (int s = 1; ok && s <= book.SheetCount(); ++s) {
    std::string name = "xl/worksheets/sheet" + std::to_string(s) + ".xml";
    std::string xml;
    if (!ReadEntry(za, name.c_str(), xml)) continue;
    NumberLinksInFormulas(xml, names);
    keep.push_back(std::move(xml));
    ok = PutEntry(za, name, keep.back());
  }
  ok = ok && PutEntry(za, "xl/workbook.xml", workbook) &&
       PutEntry(za, "xl/_rels/workbook.xml.rels", rels) &&
       PutEntry(za, "[Content_Types].xml", types);
  if (!ok) {
    zip_discard(za);
    error = "the links to other workbooks cannot be written";
    return false;
  }
  if (zip_close(za) < 0) {
    zip_discard(za);
    error = "the links to other workbooks cannot be written";
    return false;
  }
  return true;
}

}  // namespace ploxen
