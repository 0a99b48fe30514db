// External links, inline strings and merged ranges read from the XML parts of a workbook package.
#include "workbook/ZipParts.h"

#include <map>

#include <algorithm>
#include <charconv>
#include <memory>

#include <orcus/sax_parser.hpp>
#include <orcus/zip_archive.hpp>
#include <orcus/zip_archive_stream.hpp>

#include "workbook/CellAddress.h"

namespace ploxen {

namespace {

/// One element of a small XML part: local name, attributes by local name, text, children.
struct XmlNode {
  std::string name;
  std::map<std::string, std::string, std::less<>> attrs;
  std::string text;
  std::vector<std::unique_ptr<XmlNode>> children;

  std::string_view Attr(std::string_view key) const {
    auto it = attrs.find(key);
    return it == attrs.end() ? std::string_view() : std::string_view(it->second);
  }
  std::vector<const XmlNode*> Children(std::string_view key) const {
    std::vector<const XmlNode*> out;
    for (const auto& c : children)
      if (c->name == key) out.push_back(c.get());
    return out;
  }
  const XmlNode* Child(std::string_view key) const {
    for (const auto& c : children)
      if (c->name == key) return c.get();
    return nullptr;
  }
};

/// Builds an XmlNode tree with orcus' SAX parser (namespace prefixes dropped).
class TreeBuilder {
 public:
  void doctype(const orcus::sax::doctype_declaration&) {}
  void start_declaration(std::string_view) {}
  void end_declaration(std::string_view) {}
  void attribute(std::string_view, std::string_view) {}
  void attribute(const orcus::sax::parser_attribute& attr) {
    pending_.emplace(std::string(attr.name), std::string(attr.value));
  }
  void start_element(const orcus::sax::parser_element& elem) {
    auto node = std::make_unique<XmlNode>();
    node->name = elem.name;
    node->attrs = std::move(pending_);
    pending_.clear();
    XmlNode* raw = node.get();
    if (stack_.empty())
      root_ = std::move(node);
    else
      stack_.back()->children.push_back(std::move(node));
    stack_.push_back(raw);
  }
  void end_element(const orcus::sax::parser_element&) {
    if (!stack_.empty()) stack_.pop_back();
  }
  void characters(std::string_view val, bool) {
    if (!stack_.empty()) stack_.back()->text.append(val);
  }
  std::unique_ptr<XmlNode> root_;

 private:
  std::map<std::string, std::string, std::less<>> pending_;
  std::vector<XmlNode*> stack_;
};

std::unique_ptr<XmlNode> ParseXml(std::string_view xml) {
  TreeBuilder builder;
  orcus::sax_parser<TreeBuilder> parser(xml.data(), xml.size(), builder);
  parser.parse();
  return builder.root_ ? std::move(builder.root_) : std::make_unique<XmlNode>();
}

bool ReadEntry(const orcus::zip_archive& zip, std::string_view name, std::string& out) {
  std::vector<unsigned char> buf;
  try {
    if (!zip.read_file_entry(name, buf)) return false;
  } catch (const orcus::zip_error&) {
    return false;
  }
  out.assign(buf.begin(), buf.end());
  return true;
}

/// Relationship id -> target of a .rels part.
std::map<std::string, std::string> ReadRels(const orcus::zip_archive& zip, std::string_view name) {
  std::map<std::string, std::string> rels;
  std::string xml;
  if (!ReadEntry(zip, name, xml)) return rels;
  auto root = ParseXml(xml);
  for (const XmlNode* rel : root->Children("Relationship"))
    rels[std::string(rel->Attr("Id"))] = std::string(rel->Attr("Target"));
  return rels;
}

std::string FileNameOf(const std::string& path) {
  std::size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

void ReadCachedSheets(const XmlNode& externalBook, ExternalBook& out) {
  std::vector<std::string> names;
  if (const XmlNode* sheetNames = externalBook.Child("sheetNames"))
    for (const XmlNode* n : sheetNames->Children("sheetName")) names.emplace_back(n->Attr("val"));
  for (const std::string& name : names) out.sheets.try_emplace(name);
  const XmlNode* dataSet = externalBook.Child("sheetDataSet");
  if (!dataSet) return;
  for (const XmlNode* data : dataSet->Children("sheetData")) {
    int id = -1;
    std::string_view idText = data->Attr("sheetId");
    std::from_chars(idText.data(), idText.data() + idText.size(), id);
    if (id < 0 || static_cast<size_t>(id) >= names.size()) continue;
    auto& cells = out.sheets[names[id]];
    for (const XmlNode* row : data->Children("row")) {
      for (const XmlNode* cell : row->Children("cell")) {
        CellAddr addr;
        if (!ParseA1(cell->Attr("r"), addr)) continue;
        const XmlNode* v = cell->Child("v");
        std::string text = v ? v->text : std::string();
        std::string_view type = cell->Attr("t");
        ExternalCachedCell value;
        if (type.empty() || type == "n") {
          auto [p, ec] = std::from_chars(text.data(), text.data() + text.size(), value.number);
          (void)p;
          if (ec != std::errc()) {
            value.isNumber = false;
            value.text = text;
          }
        } else if (type == "b") {
          value.number = text == "1" ? 1.0 : 0.0;
        } else {
          value.isNumber = false;
          value.text = text;
        }
        cells[{addr.row, addr.col}] = value;
      }
    }
  }
}

/// Collects the inline-string cells of one worksheet while orcus' SAX parser reads it.
/// Rows and cells without an "r" address follow the previous one.
class InlineStringCollector {
 public:
  InlineStringCollector(std::size_t sheet, std::vector<InlineStringCell>& out)
      : sheet_(sheet), out_(out) {}
  void doctype(const orcus::sax::doctype_declaration&) {}
  void start_declaration(std::string_view) {}
  void end_declaration(std::string_view) {}
  void attribute(std::string_view, std::string_view) {}
  void attribute(const orcus::sax::parser_attribute& attr) {
    if (attr.name == "r") address_ = attr.value;
    if (attr.name == "t") type_ = attr.value;
  }
  void start_element(const orcus::sax::parser_element& elem);
  void end_element(const orcus::sax::parser_element& elem);
  void characters(std::string_view val, bool) {
    if (inText_ && phonetic_ == 0) text_.append(val);
  }

 private:
  std::size_t sheet_;
  std::vector<InlineStringCell>& out_;
  std::string address_, type_;  // attributes of the element being opened
  int row_ = -1, column_ = -1;
  bool inlineCell_ = false, hasIs_ = false, hasFormula_ = false, inText_ = false;
  int phonetic_ = 0;  // depth inside <rPh>, whose text is a reading aid, not content
  std::string text_;
};

void InlineStringCollector::start_element(const orcus::sax::parser_element& elem) {
  if (elem.name == "row") {
    int r = 0;
    auto [p, ec] = std::from_chars(address_.data(), address_.data() + address_.size(), r);
    row_ = ec == std::errc() && p == address_.data() + address_.size() ? r - 1 : row_ + 1;
    column_ = -1;
  } else if (elem.name == "c") {
    CellAddr addr;
    if (!address_.empty() && ParseA1(address_, addr)) {
      row_ = addr.row;
      column_ = addr.col;
    } else {
      ++column_;
    }
    inlineCell_ = type_ == "inlineStr";
    hasIs_ = hasFormula_ = false;
    text_.clear();
  } else if (inlineCell_) {
    if (elem.name == "is") hasIs_ = true;
    if (elem.name == "f") hasFormula_ = true;
    if (elem.name == "rPh") ++phonetic_;
    if (elem.name == "t") inText_ = hasIs_;
  }
  address_.clear();
  type_.clear();
}

void InlineStringCollector::end_element(const orcus::sax::parser_element& elem) {
  if (elem.name == "t") {
    inText_ = false;
  } else if (elem.name == "rPh") {
    if (phonetic_ > 0) --phonetic_;
  } else if (elem.name == "c") {
    if (inlineCell_ && hasIs_ && !hasFormula_ && row_ >= 0 && row_ < kMaxRows && column_ >= 0 &&
        column_ < kMaxColumns)
      out_.push_back({sheet_, row_, column_, std::move(text_)});
    inlineCell_ = inText_ = false;
    phonetic_ = 0;
    text_.clear();
  }
}

}  // namespace

std::vector<InlineStringCell> ReadXlsxInlineStrings(std::string_view package) {
  std::vector<InlineStringCell> cells;
  orcus::zip_archive_stream_blob stream(reinterpret_cast<const uint8_t*>(package.data()),
                                        package.size());
  orcus::zip_archive zip(&stream);
  zip.load();
  std::string xml;
  if (!ReadEntry(zip, "xl/workbook.xml", xml)) return cells;
  auto workbook = ParseXml(xml);
  auto rels = ReadRels(zip, "xl/_rels/workbook.xml.rels");
  const XmlNode* sheets = workbook->Child("sheets");
  if (!sheets) return cells;
  std::size_t index = 0;
  for (const XmlNode* sheet : sheets->Children("sheet")) {
    const std::string& target = rels[std::string(sheet->Attr("id"))];
    std::string partName = target.rfind("/", 0) == 0 ? target.substr(1) : "xl/" + target;
    if (ReadEntry(zip, partName, xml) && xml.find("inlineStr") != std::string::npos) {
      InlineStringCollector collector(index, cells);
      orcus::sax_parser<InlineStringCollector> parser(xml.data(), xml.size(), collector);
      parser.parse();
    }
    ++index;
  }
  return cells;
}

void ReadXlsxExternalLinks(std::string_view package, ImportedBook& book) {
  orcus::zip_archive_stream_blob stream(reinterpret_cast<const uint8_t*>(package.data()),
                                        package.size());
  orcus::zip_archive zip(&stream);
  zip.load();
  std::string xml;
  if (!ReadEntry(zip, "xl/workbook.xml", xml)) return;
  if (xml.find("externalReference") == std::string::npos) return;
  auto workbook = ParseXml(xml);
  auto rels = ReadRels(zip, "xl/_rels/workbook.xml.rels");
  const XmlNode* refs = workbook->Child("externalReferences");
  if (!refs) return;
  for (const XmlNode* ref : refs->Children("externalReference")) {
    ExternalBook ext;
    std::string target = rels[std::string(ref->Attr("id"))];
    std::string partName = target.rfind("/", 0) == 0 ? target.substr(1) : "xl/" + target;
    std::string linkXml;
    if (ReadEntry(zip, partName, linkXml)) {
      auto link = ParseXml(linkXml);
      if (const XmlNode* extBook = link->Child("externalBook")) {
        std::string dir = partName.substr(0, partName.rfind('/') + 1);
        auto linkRels = ReadRels(zip, dir + "_rels/" + FileNameOf(partName) + ".rels");
        ext.target = linkRels[std::string(extBook->Attr("id"))];
        ReadCachedSheets(*extBook, ext);
      }
    }
    if (ext.target.rfind("file://", 0) == 0) ext.target.erase(0, 7);
    ext.fileName = FileNameOf(ext.target);
    book.externalBooks.push_back(std::move(ext));
  }
}

std::string PathOfFileUrl(std::string_view url) {
  if (url.rfind("file://", 0) != 0) return std::string(url);
  url.remove_prefix(7);
  std::string out;
  for (std::size_t i = 0; i < url.size(); ++i) {
    int value = 0;
    if (url[i] == '%' && i + 2 < url.size() &&
        std::from_chars(url.data() + i + 1, url.data() + i + 3, value, 16).ptr ==
            url.data() + i + 3) {
      out += static_cast<char>(value);
      i += 2;
    } else {
      out += url[i];
    }
  }
  return out;
}

void ExtractOdsLinkSheets(ImportedBook& book) {
  std::vector<ImportedSheet> kept;
  for (ImportedSheet& sheet : book.sheets) {
    const std::string& name = sheet.name;
    std::size_t hash = name.rfind("'#");
    if (name.size() < 4 || name[0] != '\'' || hash == std::string::npos) {
      kept.push_back(std::move(sheet));
      continue;
    }
    std::string url = name.substr(1, hash - 1);
    std::string sheetName = name.substr(hash + 2);
    std::size_t n = 0;
    while (n < book.externalBooks.size() && book.externalBooks[n].target != url) ++n;
    if (n == book.externalBooks.size()) {
      ExternalBook ext;
      ext.target = url;
      ext.fileName = FileNameOf(PathOfFileUrl(url));
      book.externalBooks.push_back(std::move(ext));
    }
    auto& cache = book.externalBooks[n].sheets[sheetName];
    for (const ImportedCell& cell : sheet.cells) {
      ExternalCachedCell value;
      if (cell.kind == ImportedCell::Kind::kNumber || cell.kind == ImportedCell::Kind::kBool) {
        value.number = cell.number;
      } else if (cell.kind == ImportedCell::Kind::kString) {
        value.isNumber = false;
        value.text = cell.text;
      } else {
        continue;
      }
      cache[{cell.row, cell.column}] = value;
    }
  }
  book.sheets = std::move(kept);
}

std::vector<std::string> UnsupportedPartsOf(const std::vector<std::string>& parts,
                                            BookFormat format, std::string_view contentXml) {
  std::vector<std::pair<std::string, std::string>> kinds;
  if (format == BookFormat::kXlsx) {
    kinds = {{"xl/charts/", "charts"},
             {"xl/drawings/", "drawings"},
             {"xl/media/", "images"},
             {"xl/comments", "comments"},
             {"xl/threadedComments/", "comments"},
             {"xl/vbaProject", "macros"},
             {"xl/pivotTables/", "pivot tables"},
             {"xl/tables/", "tables"},
             {"xl/printerSettings/", "printer settings"}};
  } else {
    kinds = {{"Pictures/", "images"},
             {"Object ", "charts"},
             {"Basic/", "macros"},
             {"Scripts/", "macros"}};
  }
  std::vector<std::string> found;
  auto add = [&found](const std::string& what) {
    for (const std::string& f : found)
      if (f == what) return;
    found.push_back(what);
  };
  for (const std::string& part : parts)
    for (const auto& [prefix, what] : kinds)
      if (part.rfind(prefix, 0) == 0) add(what);
  if (format == BookFormat::kOds) {
    if (contentXml.find("<office:annotation") != std::string_view::npos) add("comments");
    if (contentXml.find("<draw:") != std::string_view::npos) add("drawings");
    if (contentXml.find("<table:content-validation") != std::string_view::npos)
      add("data validation");
    if (contentXml.find("<text:a ") != std::string_view::npos) add("hyperlinks");
    if (contentXml.find("<table:data-pilot") != std::string_view::npos) add("pivot tables");
    if (contentXml.find("<calcext:conditional-format") != std::string_view::npos)
      add("conditional formats");
  }
  return found;
}

void AddSheetFeatures(std::string_view sheetXml, std::vector<std::string>& found) {
  static const std::pair<const char*, const char*> kTags[] = {
      {"<hyperlinks", "hyperlinks"},
      {"<dataValidations", "data validation"},
      {"<conditionalFormatting", "conditional formats"},
      {"<autoFilter", "filters"}};
  for (const auto& [tag, what] : kTags) {
    if (sheetXml.find(tag) == std::string_view::npos) continue;
    if (std::find(found.begin(), found.end(), what) == found.end()) found.emplace_back(what);
  }
}

}  // namespace ploxen
