// The XML parts of an OpenDocument spreadsheet written from a book of the engine.
#pragma once

#include <string>

#include "workbook/EngineModel.h"

namespace ploxen {

/// content.xml of `book`: automatic styles for formats, columns and rows, then every sheet
/// with values, formulas (OpenFormula syntax) and their cached results, and merged ranges.
std::string OdsContentXml(WorkbookEngine& engine, Book& book);
/// The value attributes (formula, value type, value) of a cell for its table:table-cell
/// element, appended to `attrs`, and its displayed paragraph in `para` (empty when none).
void AppendOdsCellContent(std::string& attrs, std::string& para, WorkbookEngine& engine,
                          Book& book, SheetId sheet, int row, int col, const Cell& cell);
/// One table:table element for `sheet`, without column and row styles (for a sheet added to
/// a file whose style set this program did not write).
std::string OdsTableXml(WorkbookEngine& engine, Book& book, Sheet& sheet);
/// styles.xml: the default cell style.
std::string OdsStylesXml();
/// meta.xml with the generator name.
std::string OdsMetaXml();
/// META-INF/manifest.xml listing the parts.
std::string OdsManifestXml();

}  // namespace ploxen
