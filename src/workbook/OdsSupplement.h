// What orcus leaves out of an ods file's content.xml, read in one streaming pass: the cell
// formats of automatic styles, merged ranges, texts with repeated spaces and the constants of
// value types it does not read.
#pragma once

#include <cstddef>
#include <string_view>

#include "workbook/ImportedBook.h"

namespace ploxen {

/// Completes `book` (already filled by orcus from the same file) from `contentXml`:
/// cell formats, merged ranges, string cells whose spaces orcus dropped, and boolean,
/// percentage, currency and time constants. Throws orcus parse exceptions on damaged XML and
/// ImportTooLarge when the book would hold more than `maxCells` cells; the caller catches them.
void SupplementOdsContent(std::string_view contentXml, ImportedBook& book, std::size_t maxCells);

}  // namespace ploxen
