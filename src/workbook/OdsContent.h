// The XML parts of an OpenDocument spreadsheet written from a book of the engine.
#pragma once

#include <string>

#include "workbook/EngineModel.h"

namespace ploxen {

/// content.xml of `book`: automatic styles for formats, columns and rows, then every sheet
/// with values, formulas (OpenFormula syntax) and their cached results, and merged ranges.
std::string OdsContentXml(WorkbookEngine& engine, Book& book);
/// styles.xml: the default cell style.
std::string OdsStylesXml();
/// meta.xml with the generator name.
std::string OdsMetaXml();
/// META-INF/manifest.xml listing the parts.
std::string OdsManifestXml();

}  // namespace ploxen
