// Sheet-qualified references in the formulas an .xlsx package keeps outside the cells (defined
// names, chart series), moved as a spreadsheet application moves them when rows are inserted
// into a sheet or a sheet is renamed.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "workbook/SourcePackage.h"

namespace ploxen {

/// What became of a sheet of the file: its name now and where its rows went.
struct SheetMove {
  std::string name;              ///< the sheet's current name
  const RowMap* rows = nullptr;  ///< rows inserted since the file was read; may be null
};

/// Moves of the file's sheets, by the name the file gives them.
using SheetMoves = std::map<std::string, SheetMove>;

/// `formula` (A1 syntax without "=", as in a definedName or a chart's c:f) with each reference
/// to a sheet in `moves` moved: rows as the sheet's map says (a range spanning an inserted
/// row grows) and the sheet named as it is now. Strings, external references and references to
/// other sheets are left alone. nullopt when rows moved and the formula holds a reference that
/// cannot be moved safely: one without a sheet name (it follows whichever sheet is active) or a
/// reference across several sheets that includes a moved one.
std::optional<std::string> MoveSheetReferences(std::string_view formula, const SheetMoves& moves);

/// `xml` with the text of every element named `local` (any prefix) moved by
/// MoveSheetReferences; nullopt when one of them cannot be moved. `changed` tells whether
/// anything was rewritten.
std::optional<std::string> MoveElementReferences(std::string_view xml, std::string_view local,
                                                 const SheetMoves& moves, bool& changed);

}  // namespace ploxen
