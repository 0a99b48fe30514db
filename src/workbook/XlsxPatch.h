// Saving a book opened from an .xlsx file back into that file's package: the worksheets whose
// cells changed get new cell data, every other part and every other element of those
// worksheets stays as the file had it.
#pragma once

#include <string>
#include <string_view>

#include "workbook/EngineModel.h"
#include "workbook/SourcePackage.h"

namespace ploxen {

/// The bytes of `book` saved into the package of `source` (recalculate first). Sheets added,
/// removed or renamed are entered in the workbook part, the relationships and the content
/// types; a calculation chain is dropped so that the reading program rebuilds it. False with
/// a reason when the package cannot be edited safely (then nothing must be written).
bool PatchXlsx(WorkbookEngine& engine, Book& book, const SourcePackage& source, std::string& out,
               std::string& error);

/// A space-separated list of A1 cells and ranges ("B2 D4:E9 3:5"), each moved as rows
/// inserted into its sheet move it: ranges that span an inserted row grow.
std::string ShiftRangeList(std::string_view ranges, const RowMap& rows);

/// Why rows cannot be inserted into `sheet` of an .xlsx book without misplacing parts the
/// engine does not move (drawings, comments, charts, named ranges, rules with references);
/// empty when they can.
std::string XlsxInsertProblem(const Book& book, const Sheet& sheet);

}  // namespace ploxen
