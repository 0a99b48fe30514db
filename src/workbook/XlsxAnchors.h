// The anchors of a worksheet's drawing (charts, pictures, shapes) moved with rows inserted into
// the sheet, as a spreadsheet application moves them.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "workbook/SourcePackage.h"

namespace ploxen {

/// The drawing part `xml` with the row of every anchor moved as `rows` says: an object that
/// moves and sizes with cells ("twoCell", the default) has both ends moved, so it grows when a
/// row is inserted across it; one that moves only ("oneCell") keeps its height; one fixed on
/// the sheet ("absolute", and absolute anchors) stays. nullopt when an anchor's rows cannot be
/// read (the part cannot be moved safely).
std::optional<std::string> MoveDrawingAnchors(std::string_view xml, const RowMap& rows);

}  // namespace ploxen
