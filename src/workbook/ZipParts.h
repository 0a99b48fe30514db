// Reading parts of a zip-packaged workbook (xlsx/ods) for what orcus skips.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "workbook/ImportedBook.h"

namespace ploxen {

/// Reads the external-link parts of an xlsx package (order of xl/workbook.xml's
/// externalReference list, targets and cached sheet data) into `book.externalBooks`.
/// Throws orcus exceptions on damaged parts; the caller catches them.
void ReadXlsxExternalLinks(std::string_view package, ImportedBook& book);

/// One text cell that an xlsx worksheet stores in the cell itself (t="inlineStr").
struct InlineStringCell {
  std::size_t sheet = 0;  ///< index in the order of xl/workbook.xml's sheet list
  int row = 0, column = 0;
  std::string text;
};

/// The inline-string cells of all worksheets of an xlsx package (the xlsx library skips
/// them). Throws orcus exceptions on damaged parts; the caller catches them.
std::vector<InlineStringCell> ReadXlsxInlineStrings(std::string_view package);

/// Moves the hidden sheets an ods file keeps for references into other files (named
/// "'file:///path/Other.ods'#Sheet") out of the sheet list into `book.externalBooks`.
void ExtractOdsLinkSheets(ImportedBook& book);

/// "file:///a%20b/c.ods" -> "/a b/c.ods"; other texts unchanged.
std::string PathOfFileUrl(std::string_view url);

/// Names of the kinds of content in the package that the engine cannot write back
/// ("charts", "images", "comments", "macros", ...), from the part names and content.
std::vector<std::string> UnsupportedPartsOf(const std::vector<std::string>& partNames,
                                            BookFormat format, std::string_view contentXml);

/// Adds to `found` the kinds of sheet content of an xlsx worksheet part the engine cannot
/// write back (hyperlinks, data validation, conditional formats, filters).
void AddSheetFeatures(std::string_view sheetXml, std::vector<std::string>& found);

}  // namespace ploxen
