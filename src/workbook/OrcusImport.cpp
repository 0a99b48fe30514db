// Reading a workbook file: format detection, guards against damaged or oversized files,
// the orcus parse and the parts orcus leaves out.
#include "workbook/OrcusImport.h"

#include <algorithm>
#include <exception>
#include <fstream>
#include <iterator>
#include <map>

#include <zip.h>
#include <orcus/orcus_ods.hpp>
#include <orcus/orcus_xlsx.hpp>

#include "workbook/OdsSupplement.h"
#include "workbook/OrcusFactory.h"
#include "workbook/XmlText.h"
#include "workbook/ZipParts.h"

namespace ploxen {

namespace {

/// The position of the ">" that ends the tag opened at `at`, past quoted attribute values;
/// `xml.size()` when the part ends first.
std::size_t TagEnd(std::string_view xml, std::size_t at) {
  std::size_t end = at + 1;
  for (char quote = 0; end < xml.size(); ++end) {
    const char c = xml[end];
    if (quote) {
      if (c == quote) quote = 0;
    } else if (c == '"' || c == '\'') {
      quote = c;
    } else if (c == '>') {
      break;
    }
  }
  return end;
}

/// False when XML text ends inside a markup construct: a tag, an attribute value, a comment,
/// a processing instruction or a CDATA section; or when a tag holds a "<". orcus 0.17 reads
/// past the end of such a part instead of reporting it, or stops reading it silently, so these
/// parts are refused before it sees them.
bool XmlPartComplete(std::string_view xml) {
  for (std::size_t at = xml.find('<'); at != std::string_view::npos; at = xml.find('<', at)) {
    std::string_view rest = xml.substr(at);
    std::string_view close = ">";
    if (rest.rfind("<!--", 0) == 0)
      close = "-->";
    else if (rest.rfind("<![CDATA[", 0) == 0)
      close = "]]>";
    else if (rest.rfind("<?", 0) == 0)
      close = "?>";
    if (rest.rfind("<?xml", 0) == 0) {
      // The declaration's attribute values must close before "?>": orcus asserts on one that
      // runs on into the root element.
      const std::size_t end = TagEnd(xml, at);
      if (end >= xml.size() || xml[end - 1] != '?' || xml.find("?>", at + 2) != end - 1)
        return false;
      at = end + 1;
      continue;
    }
    if (close != ">") {
      const std::size_t end = xml.find(close, at + 2);
      if (end == std::string_view::npos) return false;
      at = end + close.size();
      continue;
    }
    const std::size_t i = TagEnd(xml, at);
    if (i >= xml.size()) return false;
    // "<" may not stand inside a tag, attribute values included: orcus stops reading such a
    // part silently, so a relationship list lost its later entries (the shared strings).
    if (xml.substr(at + 1, i - at - 1).find('<') != std::string_view::npos) return false;
    at = i + 1;
  }
  return true;
}

constexpr std::string_view kStyleNamespace = "urn:oasis:names:tc:opendocument:xmlns:style:1.0";

/// Calls `visit(name, value)` for every attribute of the tag text `tag` (from after the element
/// name to before ">"); stops and returns false when `visit` does.
template <typename Visit>
bool ForEachAttribute(std::string_view tag, Visit visit) {
  auto space = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  std::size_t i = 0;
  while (i < tag.size()) {
    while (i < tag.size() && (space(tag[i]) || tag[i] == '/')) ++i;
    const std::size_t nameStart = i;
    while (i < tag.size() && !space(tag[i]) && tag[i] != '=') ++i;
    const std::string_view name = tag.substr(nameStart, i - nameStart);
    while (i < tag.size() && space(tag[i])) ++i;
    if (i >= tag.size() || tag[i] != '=') continue;
    ++i;
    while (i < tag.size() && space(tag[i])) ++i;
    if (i >= tag.size() || (tag[i] != '"' && tag[i] != '\'')) break;
    const char quote = tag[i++];
    const std::size_t end = tag.find(quote, i);
    if (end == std::string_view::npos) break;
    if (!visit(name, tag.substr(i, end - i))) return false;
    i = end + 1;
  }
  return true;
}

/// False when a style's row, column or cell properties sit in a style of another family (or
/// outside any style). The .ods library writes such properties into the data of the family it
/// expects without checking it: of an unknown family through a null pointer, of another family
/// over data of a different type. Namespace prefixes are taken from the part's declarations.
bool OdsStyleFamiliesMatch(std::string_view xml) {
  // Every prefix bound to the style namespace anywhere in the part ("" for a default namespace).
  std::vector<std::string> prefixes;
  for (std::size_t at = xml.find("xmlns"); at != std::string_view::npos;
       at = xml.find("xmlns", at + 5)) {
    std::size_t i = at + 5;
    std::string prefix;
    if (i < xml.size() && xml[i] == ':') {
      const std::size_t end = xml.find_first_of("= \t\r\n", i + 1);
      if (end == std::string_view::npos) break;
      prefix.assign(xml.substr(i + 1, end - i - 1));
      i = end;
    }
    i = xml.find_first_of("\"'", i);
    if (i == std::string_view::npos) break;
    if (xml.substr(i + 1, kStyleNamespace.size()) == kStyleNamespace &&
        i + 1 + kStyleNamespace.size() < xml.size() && xml[i + 1 + kStyleNamespace.size()] == xml[i])
      prefixes.push_back(prefix);
  }
  if (prefixes.empty()) return true;
  // The local name of a qualified name in the style namespace; empty for any other name.
  auto styleLocal = [&prefixes](std::string_view qname) -> std::string_view {
    const std::size_t colon = qname.find(':');
    const std::string_view prefix = colon == std::string_view::npos ? "" : qname.substr(0, colon);
    for (const std::string& p : prefixes)
      if (p == prefix) return colon == std::string_view::npos ? qname : qname.substr(colon + 1);
    return {};
  };

  // The family of each open element that is a style ("" for other elements), innermost last.
  std::vector<std::pair<bool, std::string>> open;
  for (std::size_t at = xml.find('<'); at != std::string_view::npos; at = xml.find('<', at + 1)) {
    const std::string_view rest = xml.substr(at);
    if (rest.rfind("<!--", 0) == 0 || rest.rfind("<![CDATA[", 0) == 0 || rest.rfind("<?", 0) == 0 ||
        rest.rfind("<!", 0) == 0) {
      const std::string_view close = rest.rfind("<!--", 0) == 0        ? "-->"
                                     : rest.rfind("<![CDATA[", 0) == 0 ? "]]>"
                                                                       : ">";
      const std::size_t end = xml.find(close, at + 2);
      if (end == std::string_view::npos) return true;
      at = end;
      continue;
    }
    const std::size_t end = TagEnd(xml, at);
    if (end >= xml.size()) return true;  // refused elsewhere as an incomplete part
    const std::string_view tag = xml.substr(at + 1, end - at - 1);
    at = end;
    if (!tag.empty() && tag[0] == '/') {
      if (!open.empty()) open.pop_back();
      continue;
    }
    const std::size_t nameEnd = std::min(tag.find_first_of(" \t\r\n/"), tag.size());
    const std::string_view local = styleLocal(tag.substr(0, nameEnd));
    const bool selfClosing = !tag.empty() && tag.back() == '/';
    std::string family;
    const bool isStyle = local == "style" || local == "default-style";
    if (isStyle)
      ForEachAttribute(tag.substr(nameEnd), [&](std::string_view name, std::string_view value) {
        if (styleLocal(name) == "family" && name.find(':') != std::string_view::npos)
          family.assign(value);
        return true;
      });
    std::string_view needs;
    if (local == "table-row-properties") needs = "table-row";
    else if (local == "table-column-properties") needs = "table-column";
    else if (local == "table-cell-properties") needs = "table-cell";
    if (!needs.empty()) {
      const std::pair<bool, std::string>* style = nullptr;
      for (auto it = open.rbegin(); it != open.rend() && !style; ++it)
        if (it->first) style = &*it;
      if (!style || style->second != needs) return false;
    }
    if (!selfClosing) open.emplace_back(isStyle, std::move(family));
  }
  return true;
}

/// The text of the root element's start tag (between "<" and ">"), past the prolog; empty
/// when there is none.
std::string_view RootTag(std::string_view xml) {
  std::size_t at = 0;
  if (xml.substr(0, 3) == "\xEF\xBB\xBF") at = 3;
  while (true) {
    at = xml.find('<', at);
    if (at == std::string_view::npos) return {};
    const std::string_view rest = xml.substr(at);
    const std::string_view close = rest.rfind("<!--", 0) == 0 ? "-->"
                                   : rest.rfind("<?", 0) == 0 ? "?>"
                                   : rest.rfind("<!", 0) == 0 ? ">"
                                                              : "";
    if (close.empty()) break;
    at = xml.find(close, at + 2);
    if (at == std::string_view::npos) return {};
  }
  const std::size_t end = xml.find('>', at);
  if (end == std::string_view::npos) return {};
  return xml.substr(at + 1, end - at - 1);
}

/// False when a worksheet part's root element is no SpreadsheetML worksheet (another name or
/// namespace). orcus reads such a sheet as empty and a save would write the user's cells into a
/// part no reader takes as a sheet.
bool WorksheetRootValid(std::string_view xml) {
  const std::string_view tag = RootTag(xml);
  const std::size_t nameEnd = std::min(tag.find_first_of(" \t\r\n/"), tag.size());
  const std::string_view name = tag.substr(0, nameEnd);
  const std::size_t colon = name.find(':');
  const std::string_view local = colon == std::string_view::npos ? name : name.substr(colon + 1);
  if (local != "worksheet") return false;
  const std::string declaration =
      colon == std::string_view::npos ? "xmlns" : "xmlns:" + std::string(name.substr(0, colon));
  bool valid = false;
  ForEachAttribute(tag.substr(nameEnd), [&](std::string_view attribute, std::string_view value) {
    if (attribute != declaration) return true;
    valid = value == "http://schemas.openxmlformats.org/spreadsheetml/2006/main" ||
            value == "http://purl.oclc.org/ooxml/spreadsheetml/main";
    return false;
  });
  return valid;
}

/// False when the root of an .ods content part does not bind the prefixes a save writes cells,
/// texts and cell styles with to their namespaces. orcus skips elements of a mistyped namespace
/// (a sheet's texts read as empty cells), and the save would write the user's cells in it again.
bool OdsContentNamespacesValid(std::string_view xml) {
  struct Binding {
    std::string_view attribute, uri;
    bool found = false;
  };
  Binding bindings[] = {
      {"xmlns:office", "urn:oasis:names:tc:opendocument:xmlns:office:1.0"},
      {"xmlns:table", "urn:oasis:names:tc:opendocument:xmlns:table:1.0"},
      {"xmlns:text", "urn:oasis:names:tc:opendocument:xmlns:text:1.0"},
      {"xmlns:style", "urn:oasis:names:tc:opendocument:xmlns:style:1.0"},
  };
  bool valid = true;
  ForEachAttribute(RootTag(xml), [&](std::string_view attribute, std::string_view value) {
    for (Binding& b : bindings)
      if (attribute == b.attribute) {
        b.found = true;
        valid = valid && value == b.uri;
      }
    return true;
  });
  for (const Binding& b : bindings)
    if (!b.found) return false;
  return valid;
}

/// False when a relationship of the workbook names the shared strings under a type that is
/// not the exact one: orcus then reads no strings (every text cell imports empty), while a
/// save would append the user's new texts to that part where no reader finds them.
bool SharedStringsRelationshipValid(std::string_view relsXml) {
  constexpr std::string_view kType =
      "http://schemas.openxmlformats.org/officeDocument/2006/relationships/sharedStrings";
  for (std::size_t at = relsXml.find("sharedStrings"); at != std::string_view::npos;
       at = relsXml.find("sharedStrings", at + 1)) {
    const std::size_t open = relsXml.rfind("Type=", at);
    const std::size_t tagStart = relsXml.rfind('<', at);
    if (open == std::string_view::npos || tagStart == std::string_view::npos || open < tagStart)
      continue;  // a target or id naming the part, not a type
    const std::size_t valueStart = open + 6;
    const std::size_t valueEnd = relsXml.find_first_of("\"'", valueStart);
    if (valueEnd == std::string_view::npos || valueEnd < at) continue;
    if (relsXml.substr(valueStart, valueEnd - valueStart) != kType) return false;
  }
  return true;
}

/// False when a sheet the workbook part lists has no relationship of a sheet type (worksheet,
/// chart, dialog or macro sheet). orcus then reads no part for it and shows it empty, and a save
/// wrote the user's cells into a part no reader takes as that sheet.
bool SheetRelationshipsValid(std::string_view workbookXml, std::string_view relsXml) {
  std::map<std::string, std::string> types;  // relationship id -> type
  std::size_t pos = 0;
  XmlTag tag;
  while (FindXmlElement(relsXml, "Relationship", pos, tag)) {
    const std::string_view text = relsXml.substr(tag.begin, tag.end - tag.begin);
    types[XmlAttribute(text, "Id")] = XmlAttribute(text, "Type");
    pos = tag.end;
  }
  auto sheetType = [](std::string_view type) {
    for (std::string_view base : {"http://schemas.openxmlformats.org/officeDocument/2006/relationships/",
                                  "http://purl.oclc.org/ooxml/officeDocument/relationships/"})
      for (std::string_view kind : {"worksheet", "chartsheet", "dialogsheet"})
        if (type.size() == base.size() + kind.size() && type.substr(0, base.size()) == base &&
            type.substr(base.size()) == kind)
          return true;
    return type == "http://schemas.microsoft.com/office/2006/relationships/xlMacrosheet";
  };
  pos = 0;
  while (FindXmlElement(workbookXml, "sheet", pos, tag)) {
    const auto it =
        types.find(XmlAttribute(workbookXml.substr(tag.begin, tag.end - tag.begin), "id"));
    if (it == types.end() || !sheetType(it->second)) return false;
    pos = tag.end;
  }
  return true;
}

bool IsXmlPart(std::string_view name) {
  auto endsWith = [name](std::string_view tail) {
    return name.size() >= tail.size() && name.substr(name.size() - tail.size()) == tail;
  };
  return endsWith(".xml") || endsWith(".rels");
}

/// The part list of a zip package, and content.xml when there is one; false (with a
/// reason) when it is no readable zip or a part is larger than the limits allow.
bool ListParts(std::string_view bytes, const ImportLimits& limits, std::vector<std::string>& parts,
               std::string& contentXml, std::string& workbookXml, std::string& workbookRels,
               std::vector<std::string>& sheetFeatures,
               std::string& error) {
  if (bytes.size() < 22 || bytes.substr(0, 2) != "PK") {
    error = "the file is not a workbook package (no zip archive)";
    return false;
  }
  zip_error_t zerr;
  zip_error_init(&zerr);
  zip_source_t* src = zip_source_buffer_create(bytes.data(), bytes.size(), 0, &zerr);
  zip_t* za = src ? zip_open_from_source(src, ZIP_RDONLY | ZIP_CHECKCONS, &zerr) : nullptr;
  if (!za) {
    if (src) zip_source_free(src);
    // Which of two parts of one name a program reads is undefined: such a file is refused.
    error = zip_error_code_zip(&zerr) == ZIP_ER_EXISTS
                ? std::string("the zip archive is damaged (it holds a part name twice)")
                : std::string("the zip archive is damaged (") + zip_error_strerror(&zerr) + ")";
    zip_error_fini(&zerr);
    return false;
  }
  bool ok = true;
  std::uint64_t total = 0;
  zip_int64_t count = zip_get_num_entries(za, 0);
  for (zip_int64_t i = 0; i < count && ok; ++i) {
    zip_stat_t st;
    if (zip_stat_index(za, static_cast<zip_uint64_t>(i), 0, &st) != 0 ||
        !(st.valid & ZIP_STAT_NAME)) {
      error = "the zip archive is damaged";
      ok = false;
      break;
    }
    parts.emplace_back(st.name);
    std::uint64_t size = (st.valid & ZIP_STAT_SIZE) ? st.size : 0;
    // Only the XML parts are ever unpacked (pictures and other parts are carried over by a
    // save as they are stored), so only they count against the limits.
    const bool unpacked = IsXmlPart(parts.back());
    if (unpacked) total += size;
    if (unpacked && (size > limits.maxPartBytes || total > limits.maxUnpackedBytes)) {
      error = "the workbook is too large (" + std::to_string(size / 1048576) + " MB in " +
              parts.back() + ")";
      ok = false;
    } else if (unpacked) {
      std::string xml(size, '\0');
      zip_file_t* f = zip_fopen_index(za, static_cast<zip_uint64_t>(i), 0);
      ok = f && zip_fread(f, xml.data(), size) == static_cast<zip_int64_t>(size);
      if (f) zip_fclose(f);
      if (!ok || !XmlPartComplete(xml)) {
        error = "the zip archive is damaged (" + parts.back() + ")";
        ok = false;
      } else if ((parts.back() == "content.xml" || parts.back() == "styles.xml") &&
                 !OdsStyleFamiliesMatch(xml)) {
        error = "the workbook is damaged (" + parts.back() +
                ": row, column or cell properties in a style of another family)";
        ok = false;
      } else if (parts.back() == "content.xml" && !OdsContentNamespacesValid(xml)) {
        error = "the workbook is damaged (content.xml: the office, table, text or style "
                "namespace is missing or mistyped)";
        ok = false;
      } else if (parts.back().rfind("xl/worksheets/", 0) == 0 &&
                 parts.back().find('/', 14) == std::string::npos &&
                 !WorksheetRootValid(xml)) {
        error = "the workbook is damaged (" + parts.back() + ": not a worksheet)";
        ok = false;
      } else if (parts.back() == "content.xml") {
        contentXml = std::move(xml);
      } else if (parts.back() == "xl/workbook.xml") {
        workbookXml = std::move(xml);
      } else if (parts.back() == "xl/_rels/workbook.xml.rels") {
        workbookRels = std::move(xml);
      } else if (parts.back().rfind("xl/worksheets/sheet", 0) == 0 && size < 4u * 1048576u) {
        // Sheet content kept only by the file (hyperlinks, validation, ...), for the save warning.
        AddSheetFeatures(xml, sheetFeatures);
      }
    }
  }
  zip_discard(za);
  return ok;
}

bool HasPart(const std::vector<std::string>& parts, std::string_view name) {
  for (const std::string& p : parts)
    if (p == name) return true;
  return false;
}

}  // namespace

bool ReadWorkbookBytes(std::string_view bytes, ImportedBook& book, std::string& error,
                       const ImportLimits& limits) {
  book = ImportedBook{};
  if (bytes.size() > limits.maxFileBytes) {
    error = "the file is too large";
    return false;
  }
  std::vector<std::string> parts, sheetFeatures;
  std::string contentXml, workbookXml, workbookRels;
  if (!ListParts(bytes, limits, parts, contentXml, workbookXml, workbookRels, sheetFeatures, error))
    return false;
  if (HasPart(parts, "xl/workbook.xml")) {
    book.format = BookFormat::kXlsx;
    if (!SheetRelationshipsValid(workbookXml, workbookRels)) {
      error = "the workbook is damaged (xl/_rels/workbook.xml.rels: a sheet has no relationship "
              "of a sheet type)";
      return false;
    }
    if (!SharedStringsRelationshipValid(workbookRels)) {
      error = "the workbook is damaged (xl/_rels/workbook.xml.rels: the shared strings' "
              "relationship has an unknown type)";
      return false;
    }
  } else if (HasPart(parts, "content.xml") &&
             contentXml.find("office:spreadsheet") != std::string::npos) {
    book.format = BookFormat::kOds;
  } else {
    error = "the package holds no workbook";
    return false;
  }
  try {
    OrcusFactory factory(book, limits.maxCells);
    if (book.format == BookFormat::kXlsx) {
      orcus::orcus_xlsx filter(&factory);
      filter.read_stream(bytes);
      for (InlineStringCell& cell : ReadXlsxInlineStrings(bytes))
        factory.AddText(cell.sheet, cell.row, cell.column, std::move(cell.text));
    } else {
      orcus::orcus_ods filter(&factory);
      filter.read_stream(bytes);
    }
    factory.Finish();
    if (book.format == BookFormat::kXlsx)
      ReadXlsxExternalLinks(bytes, book);
    else {
      SupplementOdsContent(contentXml, book, limits.maxCells);
      ExtractOdsLinkSheets(book);
    }
  } catch (const ImportTooLarge&) {
    error = "the workbook holds more than " + std::to_string(limits.maxCells) + " cells";
    book = ImportedBook{};
    return false;
  } catch (const std::exception& e) {
    error = std::string("the workbook is damaged (") + e.what() + ")";
    book = ImportedBook{};
    return false;
  } catch (...) {
    error = "the workbook is damaged";
    book = ImportedBook{};
    return false;
  }
  if (book.sheets.empty()) {
    error = "the workbook has no sheet";
    return false;
  }
  book.unsupportedParts = UnsupportedPartsOf(parts, book.format, contentXml);
  for (const std::string& feature : sheetFeatures)
    if (std::find(book.unsupportedParts.begin(), book.unsupportedParts.end(), feature) ==
        book.unsupportedParts.end())
      book.unsupportedParts.push_back(feature);
  return true;
}

bool ReadWorkbookFile(const std::string& path, ImportedBook& book, std::string& error,
                      const ImportLimits& limits) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    error = "the file does not exist or cannot be read";
    return false;
  }
  in.seekg(0, std::ios::end);
  std::streamoff size = in.tellg();
  if (size < 0) {
    error = "the file cannot be read";
    return false;
  }
  if (static_cast<std::size_t>(size) > limits.maxFileBytes) {
    error = "the file is too large";
    return false;
  }
  std::string bytes(static_cast<std::size_t>(size), '\0');
  in.seekg(0);
  if (!in.read(bytes.data(), size)) {
    error = "the file cannot be read";
    return false;
  }
  return ReadWorkbookBytes(bytes, book, error, limits);
}

}  // namespace ploxen
