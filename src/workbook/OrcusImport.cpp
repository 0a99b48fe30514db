// Reading a workbook file: format detection, guards against damaged or oversized files,
// the orcus parse and the parts orcus leaves out.
#include "workbook/OrcusImport.h"

#include <exception>
#include <fstream>
#include <iterator>

#include <orcus/orcus_ods.hpp>
#include <orcus/orcus_xlsx.hpp>
#include <orcus/zip_archive.hpp>
#include <orcus/zip_archive_stream.hpp>

#include "workbook/OdsSupplement.h"
#include "workbook/OrcusFactory.h"
#include "workbook/ZipParts.h"

namespace ploxen {

namespace {

/// The part list of a zip package; false (with a reason) when it is no readable zip.
bool ListParts(std::string_view bytes, std::vector<std::string>& parts, std::string& contentXml,
               std::string& error) {
  if (bytes.size() < 22 || bytes.substr(0, 2) != "PK") {
    error = "the file is not a workbook package (no zip archive)";
    return false;
  }
  try {
    orcus::zip_archive_stream_blob stream(reinterpret_cast<const uint8_t*>(bytes.data()),
                                          bytes.size());
    orcus::zip_archive zip(&stream);
    zip.load();
    for (size_t i = 0; i < zip.get_file_entry_count(); ++i)
      parts.emplace_back(zip.get_file_entry_name(i));
    std::vector<unsigned char> buf;
    for (const std::string& part : parts) {
      if (part == "content.xml" && zip.read_file_entry(part, buf)) {
        contentXml.assign(buf.begin(), buf.end());
        break;
      }
    }
  } catch (const std::exception& e) {
    error = std::string("the zip archive is damaged (") + e.what() + ")";
    return false;
  } catch (...) {
    error = "the zip archive is damaged";
    return false;
  }
  return true;
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
  std::vector<std::string> parts;
  std::string contentXml;
  if (!ListParts(bytes, parts, contentXml, error)) return false;
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
    } else {
      orcus::orcus_ods filter(&factory);
      filter.read_stream(bytes);
    }
    factory.Finish();
    if (book.format == BookFormat::kXlsx) ReadXlsxExternalLinks(bytes, book);
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
