// Reading a workbook file: format detection, guards against damaged or oversized files,
// the orcus parse and the parts orcus leaves out.
#include "workbook/OrcusImport.h"

#include <algorithm>
#include <exception>
#include <fstream>
#include <iterator>

#include <zip.h>
#include <orcus/orcus_ods.hpp>
#include <orcus/orcus_xlsx.hpp>

#include "workbook/OdsSupplement.h"
#include "workbook/OrcusFactory.h"
#include "workbook/ZipParts.h"

namespace ploxen {

namespace {

/// False when XML text ends inside a markup construct: a tag, an attribute value, a comment,
/// a processing instruction or a CDATA section. orcus 0.17 reads past the end of such a part
/// instead of reporting it, so these parts are refused before it sees them.
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
    if (close != ">") {
      const std::size_t end = xml.find(close, at + 2);
      if (end == std::string_view::npos) return false;
      at = end + close.size();
      continue;
    }
    char quote = 0;
    std::size_t i = at + 1;
    for (; i < xml.size(); ++i) {
      const char c = xml[i];
      if (quote) {
        if (c == quote) quote = 0;
      } else if (c == '"' || c == '\'') {
        quote = c;
      } else if (c == '>') {
        break;
      }
    }
    if (i >= xml.size()) return false;
    at = i + 1;
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
               std::string& contentXml, std::vector<std::string>& sheetFeatures,
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
      } else if (parts.back() == "content.xml") {
        contentXml = std::move(xml);
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
  std::string contentXml;
  if (!ListParts(bytes, limits, parts, contentXml, sheetFeatures, error)) return false;
  if (HasPart(parts, "xl/workbook.xml")) {
    book.format = BookFormat::kXlsx;
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
      SupplementOdsContent(contentXml, book);
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
