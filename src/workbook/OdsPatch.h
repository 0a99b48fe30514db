// Saving a book opened from an .ods file back into that file's package: in content.xml only
// the cells that changed are rewritten (keeping their annotations, anchored frames and styles),
// every other part of the package stays as the file had it.
#pragma once

#include <string>

#include "workbook/EngineModel.h"
#include "workbook/SourcePackage.h"

namespace ploxen {

/// The bytes of `book` saved into the package of `source` (recalculate first). Sheets added,
/// removed or renamed change the table list of content.xml. False with a reason when the
/// package cannot be edited safely (then nothing must be written).
bool PatchOds(WorkbookEngine& engine, Book& book, const SourcePackage& source, std::string& out,
              std::string& error);

/// Why a row cannot be inserted above 0-based `row` of `sheet` of an .ods book without
/// misplacing parts the engine does not move (merged ranges across the row, rules,
/// validations, named ranges, charts); empty when it can.
std::string OdsInsertProblem(const Book& book, const Sheet& sheet, int row);

}  // namespace ploxen
