// OpenFormula (OpenDocument) formula text to and from the engine's A1 formula text.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "workbook/ImportedBook.h"

namespace ploxen {

/// Converts an OpenFormula text ("of:=[.B2]*2", "[$'gas.1'.C5]", ";" separators) to A1
/// syntax without the leading "=" ("B2*2", "'gas.1'!C5", "," separators). A reference into
/// another file becomes "'[n]Sheet'!A1", n the 1-based position of that file in `externals`
/// (added when new); without `externals` the file name is kept as "'[Other.ods]Sheet'!A1".
std::string OdfToA1Formula(std::string_view odf, std::vector<ExternalBook>* externals = nullptr);

/// Quotes a sheet name for an A1 reference when it needs it ("gas.1" -> "'gas.1'").
std::string QuoteSheetName(std::string_view name);

}  // namespace ploxen
