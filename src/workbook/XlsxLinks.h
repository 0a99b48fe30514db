// References into other workbooks in a written .xlsx: the external-link parts that name the
// files and cache their values, which the xlsx library cannot write itself.
#pragma once

#include <string>

#include "workbook/EngineModel.h"

namespace ploxen {

/// Adds the external-link parts of `book` to the .xlsx at `path` (written by WriteXlsx):
/// xl/externalLinks/externalLinkN.xml with the cached values, their relationships, the
/// workbook's externalReferences, and "[n]" in formulas instead of "[Other.xlsx]".
/// Cached values of a linked book that is open are taken from it. Does nothing for a book
/// without links. False with a reason on failure.
bool AddXlsxExternalLinks(WorkbookEngine& engine, Book& book, const std::string& path,
                          std::string& error);

}  // namespace ploxen
