// What orcus leaves out of an ods file's content.xml, read in one streaming pass: the cell
// formats of automatic styles, merged ranges and texts with repeated spaces.
#pragma once

#include <string_view>

#include "workbook/ImportedBook.h"

namespace ploxen {

/// Completes `book` (already filled by orcus from the same file) from `contentXml`:
/// cell formats, merged ranges, and string cells whose spaces orcus dropped.
/// Throws orcus parse exceptions on damaged XML; the caller catches them.
void SupplementOdsContent(std::string_view contentXml, ImportedBook& book);

}  // namespace ploxen
